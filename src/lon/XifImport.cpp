#include "XifImport.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "LonGrid.h"
#include "ModSNVT.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
constexpr int kMaxCampos = 20;
constexpr qint64 kProgressStep = 256 * 1024;  // bytes between two progress reports

bool isBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f'; }

// Digits, with blanks around them: the SNVT number in front of a type line's "*".
bool isTypeNumber(const char* from, const char* to) {
    while (from < to && isBlank(*from)) ++from;
    while (to > from && isBlank(to[-1])) --to;
    if (from == to) return false;
    for (; from < to; ++from)
        if (*from < '0' || *from > '9') return false;
    return true;
}

// "##.0##": at least one decimal, at most three, no leading zero.
QString formatVersion(double v) {
    QString t = QString::number(v, 'f', 3);
    while (t.endsWith(QLatin1Char('0')) && t.indexOf(QLatin1Char('.')) < t.size() - 2) t.chop(1);
    if (t.startsWith(QLatin1String("0."))) t.remove(0, 1);
    if (t.startsWith(QLatin1String("-0."))) t.remove(1, 1);
    return t;
}

// Field i (1-based) of a split line; empty when the line had fewer.
QString field(const QStringList& f, int i) { return i <= f.size() ? f.at(i - 1) : QString(); }

struct NvRecord {
    QString name;
    qint64 index = 0;
    qint64 elements = 0;  // 0: scalar
    bool output = false;
    bool config = false;
};

class Lister {
public:
    Lister(const ModSNVT& c, const XifLectura& o, QVector<XifFila>& l) : cat(c), opt(o), list(l) {}

    bool full() const { return stopped; }

    void add(const XifFila& row) {
        if (stopped) return;
        if (list.size() >= opt.maxFilas) {
            stopped = true;
            list.append({QStringLiteral("!!!"), Texto("XifListaLlena") + QString::number(opt.maxFilas),
                         QStringLiteral(" "), QStringLiteral(" "), QString()});
            return;
        }
        list.append(row);
    }

    void process(const NvRecord& nv, int n) {
        if (!opt.nodeObject && (n == 92 || n == 93)) return;
        const QString blank = QStringLiteral(" ");
        if (n == 0) {
            add({QStringLiteral("!!!"),
                 nv.config ? QStringLiteral("!! UCPT defined found see inside the XIF file to configure !!!")
                           : QStringLiteral("!! UNVT defined found see inside the XIF file to configure !!!"),
                 blank, blank, nv.name});
            return;
        }
        const int c = cat.indiceNumero(n);
        if (c == 0) {
            add({QStringLiteral("!! ") + QString::number(n) + QStringLiteral(" !!"),
                 QStringLiteral("!! SNVT not defined in file Lon.snvt !!!"), blank, blank, nv.name});
            return;
        }
        const QString number = QString::number(n);
        const QString rw = nv.output ? QStringLiteral("R") : QStringLiteral("W");
        qint64 index = nv.index;
        const qint64 elements = nv.elements > 0 ? nv.elements : 1;
        for (qint64 e = 1; e <= elements && !stopped; ++e) {
            for (int k = c; k <= cat.count() && cat.entry(k).numero == n && !stopped; ++k) {
                const SnvtRecord& entry = cat.entry(k);
                if (!entry.preferido) continue;
                QString desc = nv.name;
                const qsizetype dot = entry.nombre.indexOf(QLatin1Char('.'));
                if (entry.filtro == 0 && dot >= 0) desc += QLatin1Char('.') + entry.nombre.mid(dot + 1);
                if (nv.elements > 0) desc += QLatin1Char('_') + QString::number(e);
                add({number, entry.nombre, QString::number(index), rw, desc});
            }
            if (nv.elements > 0) ++index;
        }
    }

private:
    const ModSNVT& cat;
    const XifLectura& opt;
    QVector<XifFila>& list;
    bool stopped = false;
};
}  // namespace

QStringList SeparaCampos(const QString& line) {
    QStringList fields;
    qsizetype from = 0;
    while (fields.size() < kMaxCampos) {
        const qsizetype blank = line.indexOf(QLatin1Char(' '), from);
        if (blank < 0) {
            fields << line.mid(from);
            break;
        }
        fields << line.mid(from, blank - from);
        from = blank + 1;
    }
    return fields;
}

bool XifFila::importable() const { return Val(snvt) != 0; }

double versionXif(const QString& firstLine) {
    const qsizetype at = firstLine.indexOf(QLatin1String("XIF Version"), 0, Qt::CaseInsensitive);
    if (at < 0) return 0;
    return Val(firstLine.mid(at + 11));
}

bool leeFicheroXif(const QString& path, const ModSNVT& catalogue, const XifLectura& options, QVector<XifFila>& list) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    // Read whole: even a 50 MB file is read in one go faster than line by line.
    const QByteArray bytes = f.readAll();
    f.close();
    const QString blank = QStringLiteral(" ");
    Lister lister(catalogue, options, list);
    lister.add(
        {blank, QStringLiteral("<<") + QFileInfo(path).fileName() + QStringLiteral(">>\""), blank, blank, blank});

    const char* data = bytes.constData();
    const qint64 n = bytes.size();
    qint64 pos = 0;
    // Next line, trimmed of surrounding blanks (the line end never stays in it).
    auto nextLine = [&](qint64& b, qint64& e) {
        const char* nl = static_cast<const char*>(memchr(data + pos, '\n', size_t(n - pos)));
        qint64 end = nl ? qint64(nl - data) : n;
        b = pos;
        e = end;
        pos = nl ? end + 1 : n;
        while (b < e && isBlank(data[b])) ++b;
        while (e > b && isBlank(data[e - 1])) --e;
    };
    auto text = [&](qint64 b, qint64 e) { return fromAnsi(QByteArray::fromRawData(data + b, int(e - b))); };

    if (n == 0) return true;
    qint64 b = 0, e = 0;
    nextLine(b, e);
    const double version = versionXif(text(b, e));
    if (RedondeaPar(version) == 0) return true;
    lister.add({blank, QStringLiteral("XIF Version ") + formatVersion(version), blank, blank, blank});

    int state = 0;
    NvRecord nv;
    qint64 nextReport = kProgressStep;
    while (pos < n && !lister.full()) {
        if (options.progreso && pos >= nextReport) {
            nextReport = pos + kProgressStep;
            if (!options.progreso(pos, n)) break;
        }
        nextLine(b, e);
        if (b == e || data[b] == '*' || data[b] == '#') continue;
        const bool var = e - b >= 3 && data[b] == 'V' && data[b + 1] == 'A' && data[b + 2] == 'R';
        // A record cut short by the next "VAR" is dropped rather than taking the
        // type line of the next record.
        if (var && state != 1) {
            const QStringList fl = SeparaCampos(text(b, e));
            nv = NvRecord();
            nv.name = field(fl, 2);
            nv.index = qBound(qint64(-2147483647), RedondeaPar(Val(field(fl, 3))), qint64(2147483647));
            nv.elements = qBound(qint64(0), RedondeaPar(Val(field(fl, 6))), qint64(65535));
            state = 1;
            continue;
        }
        if (state == 1) {
            const QStringList fl = SeparaCampos(text(b, e));
            nv.output = Val(field(fl, 4)) != 0;
            nv.config = Val(field(fl, 13)) != 0;
            state = 2;
        } else if (state == 2) {
            const char* star =
                e - b > 1 ? static_cast<const char*>(memchr(data + b + 1, '*', size_t(e - b - 1))) : nullptr;
            // The type line is "<number> * ..."; a self-documentation line may hold a "*" too.
            if (!star || !isTypeNumber(data + b, star)) continue;
            const double number = Val(text(b, star - data));
            lister.process(nv, CInt(number));
            state = 0;
        }
    }
    if (options.progreso) options.progreso(n, n);
    return true;
}

void ajustaRangoDispositivos(int& first, int& last, bool firstChanged) {
    if (first <= last) return;
    if (firstChanged)
        last = first;
    else
        first = last;
}

int Importar_Puntos(SignalGrid& grid, const ModSNVT& catalogue, const QVector<XifFila>& list,
                    const QVector<bool>& selected, int first, int last, bool prefix, bool report) {
    QVector<int> rows;
    for (int i = 0; i < list.size(); ++i)
        if (i < selected.size() && selected.at(i) && list.at(i).importable()) rows.append(i);
    const int devices = last >= first ? last - first + 1 : 0;
    const int count = int(rows.size()) * devices;
    if (count > 0) {
        RedrawOff off(grid);
        const QString ana = Texto("0-Ana"), dig = Texto("1-Dig"), no = Texto("0-No");
        const QString spon = lonSpontaneousCaptions().at(1);
        int r = grid.Rows();
        grid.setRows(r + count);
        for (int d = first; d <= last; ++d) {
            const QString device = QString::number(d);
            const QString pre = QLatin1Char('D') + device + QLatin1Char('.');
            for (int i : rows) {
                const XifFila& row = list.at(i);
                grid.setTextMatrix(r, LonCol::Noo, rowNumberText(r));
                grid.setTextMatrix(r, LonCol::Disp, device);
                grid.setTextMatrix(r, LonCol::Snvt, row.snvt);
                grid.setTextMatrix(r, LonCol::SnvtName, row.nombre);
                grid.setTextMatrix(r, LonCol::Idx, row.idx);
                // An entry no longer in the catalogue leaves its cells empty.
                if (const int k = catalogue.indiceNombre(row.nombre)) {
                    const SnvtRecord& entry = catalogue.entry(k);
                    grid.setTextMatrix(r, LonCol::Offset, QString::number(entry.offset));
                    if (entry.tipo < lonDataTypeCaptions().size())
                        grid.setTextMatrix(r, LonCol::DataType, lonDataTypeCaptions().at(entry.tipo));
                    grid.setTextMatrix(r, LonCol::A, QString::number(entry.a));
                    grid.setTextMatrix(r, LonCol::B, QString::number(entry.b));
                    grid.setTextMatrix(r, LonCol::C, QString::number(entry.c));
                    grid.setTextMatrix(r, LonCol::Filter, QString::number(entry.filtro));
                }
                grid.setTextMatrix(r, LonCol::NvAccess, row.rw);
                grid.setTextMatrix(r, LonCol::Descripcion, prefix ? pre + row.descripcion : row.descripcion);
                grid.setTextMatrix(r, LonCol::AD, Val(row.snvt) == 95 ? dig : ana);
                grid.setTextMatrix(r, LonCol::Spontaneous, spon);
                grid.setTextMatrix(r, LonCol::Activa, no);
                UpdateRow(grid, r);
                ++r;
            }
        }
    }
    if (report) Msgbox1(textoPuntosNuevos(count), QString::fromLatin1(kAppTitle), 2, 1, 1, Texto("&Aceptar"));
    return count;
}

QString textoPuntosNuevos(int count) { return QStringLiteral("New points:") + QString::number(count); }
