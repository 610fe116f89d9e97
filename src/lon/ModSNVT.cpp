#include "ModSNVT.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cfloat>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "LonGrid.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
const QString kCR = QStringLiteral("\r");
const char* const kFichero = "LON.snvt";

template <typename T>
T clampTo(double v, qint64 lo, qint64 hi) {
    return T(qBound<qint64>(lo, RedondeaPar(v), hi));
}
double num(const QStringList& row, int col) { return col <= row.size() ? Val(row.at(col - 1)) : 0.0; }
}  // namespace

bool CargaTablaTab(const QString& folder, int columns, const QString& fileName, QVector<QStringList>& table) {
    // The folder joined with the platform separator; the name found whatever its case.
    const QString onDisk = findNoCase(folder, fileName);
    const QString path = QDir::toNativeSeparators(onDisk);
    if (!QFileInfo(onDisk).isFile()) {
        MsgBox(Texto("NoSeEncuentraCatalogoSNVT") + kCR + path + kCR + Texto("SeleccioneCorrectamente"),
               Msg::Exclamation);
        return false;
    }
    QFile f(onDisk);
    if (!f.open(QIODevice::ReadOnly)) {
        MsgBox(Texto("ErrorAlAbrirFichero") + kCR + path + kCR + QStringLiteral("Error: ") + kCR + f.errorString(),
               Msg::Critical);
        return false;
    }
    BusyPointer busy;
    const QByteArray bytes = f.readAll();
    f.close();
    table.clear();
    qsizetype pos = bytes.indexOf('\n');
    if (pos < 0) return true;  // only the line that is dropped
    ++pos;
    const qsizetype n = bytes.size();
    while (pos < n) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0) end = n;
        qsizetype stop = end;
        if (stop > pos && bytes.at(stop - 1) == '\r') --stop;
        const QString line = fromAnsi(bytes.mid(pos, stop - pos));
        QStringList row;
        row.reserve(columns);
        // Field 0 is not kept; a line without a final tab reads as if it had one.
        qsizetype from = line.indexOf(QLatin1Char('\t'));
        while (from >= 0 && row.size() < columns) {
            const qsizetype next = line.indexOf(QLatin1Char('\t'), from + 1);
            row << line.mid(from + 1, next < 0 ? -1 : next - from - 1);
            from = next;
        }
        table.append(row);
        pos = end + 1;
    }
    return true;
}

ModSNVT& catalogoSNVT() {
    static ModSNVT c;
    return c;
}

void ModSNVT::clear() {
    m_entries.clear();
    m_byName.clear();
    m_byNumber.clear();
    ++m_generation;
}

bool ModSNVT::CargaSNVT() {
    QVector<QStringList> table;
    if (!CargaTablaTab(app().RutaPlantillas, kColumnas, QString::fromLatin1(kFichero), table)) return false;
    cargaDesdeTabla(table);
    return true;
}

void ModSNVT::cargaDesdeTabla(const QVector<QStringList>& table) {
    clear();
    int duplicates = 0;
    bool full = false;
    for (int r = 1; r < table.size(); ++r) {  // row 0: the header line
        const QStringList& row = table.at(r);
        if (num(row, 12) == 0) continue;  // load switch off
        if (m_entries.size() >= kMaxEntradas) {
            full = true;
            break;
        }
        SnvtRecord e;
        e.flag1 = num(row, 1) > 0;
        e.numero = clampTo<qint16>(num(row, 2), -32768, 32767);
        e.numero2 = clampTo<qint16>(num(row, 3), -32768, 32767);
        e.nombre = row.size() >= 4 ? row.at(3) : QString();
        e.tipo = clampTo<quint8>(num(row, 5), 0, 255);
        e.offset = clampTo<quint8>(num(row, 6), 0, 255);
        e.a = clampTo<qint16>(num(row, 7), -32768, 32767);
        e.b = clampTo<qint16>(num(row, 8), -32768, 32767);
        e.c = clampTo<qint16>(num(row, 9), -32768, 32767);
        e.filtro = clampTo<quint8>(num(row, 10), 0, 255);
        const double real = num(row, 11);  // kept inside the float's range: no overflow on conversion
        e.real = float(qBound(double(-FLT_MAX), real, double(FLT_MAX)));
        e.preferido = num(row, 13) > 0;
        m_entries.append(e);
        const int index = int(m_entries.size());

        const QString key = e.nombre.toLower();
        if (m_byName.contains(key)) {
            if (++duplicates <= kMaxAvisosDuplicado)
                MsgBox(QStringLiteral("Found duplicated SNVT Name in ") + QString::fromLatin1(kFichero), Msg::Critical);
        } else {
            m_byName.insert(key, index);
        }
        if (e.numero > 0) {
            const auto it = m_byNumber.constFind(e.numero);
            if (it == m_byNumber.constEnd())
                m_byNumber.insert(e.numero, index);
            else if (!m_entries.at(*it - 1).preferido && e.preferido)
                m_byNumber.insert(e.numero, index);
        }
    }
    if (duplicates > kMaxAvisosDuplicado)
        MsgBox(Texto("SnvtMasDuplicados") + QString::number(duplicates - kMaxAvisosDuplicado), Msg::Critical);
    if (full) MsgBox(Texto("SnvtDemasiadasEntradas") + QString::number(kMaxEntradas), Msg::Exclamation);
}

int ModSNVT::indiceNombre(const QString& name) const { return m_byName.value(name.toLower(), 0); }

int ModSNVT::indiceNumero(int number) const { return m_byNumber.value(number, 0); }

bool SNVTLink_Pasa(SignalGrid& grid, const ModSNVT& catalogue, int index) {
    if (index < 1 || index > catalogue.count()) return false;
    const SnvtRecord& e = catalogue.entry(index);
    // A type the gateway has no code for would leave the row's old type behind.
    if (e.tipo >= lonDataTypeCaptions().size()) {
        Aviso(Texto("SnvtTipoIncorrecto") + e.nombre + QStringLiteral(": ") + QString::number(e.tipo));
        return false;
    }
    bool written = false;
    for (int r = qMax(1, grid.selTop()); r <= grid.selBottom() && r < grid.Rows(); ++r) {
        if (grid.isRowHidden(r)) continue;
        if (lonCellValue(grid.TextMatrix(r, LonCol::Snvt)) < 0) continue;
        grid.setTextMatrix(r, LonCol::Snvt, QString::number(e.numero));
        grid.setTextMatrix(r, LonCol::SnvtName, e.nombre);
        grid.setTextMatrix(r, LonCol::Offset, QString::number(e.offset));
        grid.setTextMatrix(r, LonCol::DataType, lonDataTypeCaptions()[e.tipo]);
        grid.setTextMatrix(r, LonCol::A, QString::number(e.a));
        grid.setTextMatrix(r, LonCol::B, QString::number(e.b));
        grid.setTextMatrix(r, LonCol::C, QString::number(e.c));
        // An old filter belongs to the old type: empty, as loading shows filter 0.
        grid.setTextMatrix(r, LonCol::Filter, QString());
        written = true;
    }
    return written;
}
