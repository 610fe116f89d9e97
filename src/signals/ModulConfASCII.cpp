#include "ModulConfASCII.h"

#include <QFile>
#include <QFileInfo>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ByteScan.h"
#include "FileDamage.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
const QChar kCR = QLatin1Char('\r');
const QChar kTab = QLatin1Char('\t');

bool protocoloValido(int protocolo) { return protocolo >= 0 && protocolo < kNumProtocolos; }

// The protocol table is indexed 0..77; anything else is a caller's fault, told the
// user the way the runtime reports a bad subscript and never reaching the disk.
void avisaFueraDeTabla(bool systemBox) {
    const QString text =
        Texto("HaOcurridoUnError") + kCR + QStringLiteral("Error: ") + kCR + QStringLiteral("Subscript out of range");
    if (systemBox)
        MsgBox(text, Msg::Critical);
    else
        Aviso(text);
}

}  // namespace

const QStringList& spontaneousCaptions() {
    static const QStringList l{"0-NoSpon", "1-Spon"};
    return l;
}

// ---- OpcionesColumna

void OpcionesColumna::Add(const QString& text, const QString& key) {
    const int i = int(m_keys.indexOf(key));
    if (i >= 0) {
        m_texts[i] = text;
        return;
    }
    m_keys << key;
    m_texts << text;
}

QString OpcionesColumna::Item(const QString& key) const {
    const int i = int(m_keys.indexOf(key));
    return i >= 0 ? m_texts.at(i) : QString();
}

// ---- TablaSenyales

QString TablaSenyales::cell(int col, int row) const {
    const QStringView v = cellView(col, row);
    return v.isEmpty() ? QString() : v.toString();
}

void TablaSenyales::setCell(int col, int row, const QString& text) {
    if (row < 1 || row > rows() || col < 1 || col > m_cols) return;
    const qsizetype missing = qsizetype(first(row)) + col - qsizetype(end(row));
    if (missing > 0) {
        // Only the last row grows at the end; an earlier one moves the rows after it.
        m_spans.insert(m_spans.begin() + qsizetype(end(row)), size_t(missing), Span());
        for (int r = row; r < rows(); ++r) m_rowStart[size_t(r)] += qint32(missing);
    }
    Span& s = m_spans[first(row) + col - 1];
    s.start = qint32(m_text.size());
    s.length = qint32(text.size());
    m_text += text;
}

void TablaSenyales::reset(int columns) {
    m_cols = qMax(columns, 0);
    m_text.clear();
    m_spans.clear();
    m_rowStart.clear();
}

int TablaSenyales::addRow() {
    m_rowStart.push_back(qint32(m_spans.size()));
    return rows();
}

// ---- file

QString textoCeldaSeguro(const QString& text) {
    if (!text.contains(kTab) && !text.contains(kCR) && !text.contains(QLatin1Char('\n')))
        return withoutDamagingChars(text);
    QString s = withoutDamagingChars(text);
    for (QChar& c : s)
        if (c == kTab || c == kCR || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    return s;
}

QString rutaTablaSenyales(int protocolo) {
    if (!protocoloValido(protocolo)) return QString();
    return findNoCase(app().RutaProyecto, app().Protocolos.at(protocolo) + QStringLiteral(".dat"));
}

bool Graba_Senyales(int protocolo, const QString& version, const SignalGrid& grid, bool allRows) {
    if (!protocoloValido(protocolo)) {
        avisaFueraDeTabla(false);
        return false;
    }
    const QString nombre = app().Protocolos.at(protocolo);
    const QString path = findNoCase(app().RutaProyecto, nombre + QStringLiteral(".dat"));
    BusyPointer busy;

    auto fallo = [&](const QString& key, const QString& reason) {
        prompts().setBusy(false);
        Aviso(Texto(key) + kCR + path + kCR + QStringLiteral("Error: ") + kCR + reason);
    };

    QString text;
    text.reserve(grid.Rows() * grid.Cols() * 8 + 64);
    text += QStringLiteral("PROTOCOLO=") + QString::number(protocolo) + QLatin1Char('-') + nombre.toUpper() +
            QStringLiteral("\r\n");
    text += QStringLiteral("VERSION=") + version + QStringLiteral("\r\n");
    text += QStringLiteral("CAMPOS=") + QString::number(grid.Cols()) + QStringLiteral("\r\n");
    const int last = grid.lastCol();
    for (int r = 0; r < grid.Rows(); ++r) {
        if (r != 0 && !allRows && Val(grid.cell(r, last)) == 0) continue;
        for (int c = 0; c <= last; ++c) {
            text += trimSpaces(textoCeldaSeguro(grid.cell(r, c)));
            text += kTab;
        }
        text += QStringLiteral("\r\n");
    }
    // The whole table goes to a temporary file beside the old one, renamed over it
    // at the end: a crash or a full disk leaves the old table whole.
    QString reason;
    if (!writeFileAtomic(path, toAnsi(text), &reason)) {
        fallo(QStringLiteral("NoSePuedeGrabar"), reason);
        return false;
    }
    return true;
}

bool Carga_Senyales(int protocolo, const QString& version, TablaSenyales& table, FileDamage* damage) {
    table.clear();
    if (damage) *damage = FileDamage();
    if (!protocoloValido(protocolo)) {
        avisaFueraDeTabla(true);
        return false;
    }
    const QString nombre = app().Protocolos.at(protocolo);
    const QString path = findNoCase(app().RutaProyecto, nombre + QStringLiteral(".DAT"));

    const QFileInfo fi(path);
    if (!fi.exists()) {
        MsgBox(Texto("NoSeEncuentraFicheroConf") + kCR + path + kCR + Texto("DelProtocolo") + nombre + kCR +
                   Texto("SeleccioneCorrectamente"),
               Msg::Exclamation);
        return false;
    }
    QByteArray bytes;
    QString reason;
    if (!readFileBytes(path, &bytes, &reason)) {
        if (fi.isDir()) reason = QStringLiteral("Path/File access error");
        MsgBox(Texto("ErrorAlAbrirFichero") + kCR + path + kCR + QStringLiteral("Error: ") + kCR + reason,
               Msg::Critical);
        return false;
    }

    // A table that cannot be read whole is kept aside before a save replaces it.
    markLossyLoad(path, true);
    // A damaged table is read up to its first bad line; the header is checked as it stands.
    const FileDamage found = findFileDamage(bytes, FileShape::SignalTable);
    if (damage) *damage = found;
    const QString text = fromAnsi(bytes);
    // Lines end in CR LF, a lone CR or a lone LF; a final line end starts no further line.
    const QChar* d = text.constData();
    const qsizetype size = text.size();
    auto endsLine = [](QChar c) { return c == kCR || c == QLatin1Char('\n'); };
    auto pastLineEnd = [&](qsizetype i) {
        if (i < size && d[i] == kCR && i + 1 < size && d[i + 1] == QLatin1Char('\n')) return i + 2;
        return i < size ? i + 1 : i;
    };
    // The header lines 1-3 and the caption row 4; the rows follow.
    QString header[4];
    qsizetype rowsStart = 0;
    for (QString& h : header) {
        qsizetype e = rowsStart;
        while (e < size && !endsLine(d[e])) ++e;
        h = QString(d + rowsStart, e - rowsStart);
        rowsStart = pastLineEnd(e);
    }
    // Rows are read up to the first damaged line.
    const qsizetype rowsEnd = found ? qMin(found.offset, size) : size;

    const QString& l1 = header[0];
    if (!l1.contains(QString::number(protocolo) + QLatin1Char('-') + nombre.toUpper())) {
        MsgBox(Texto("ElFicheroDeConfiguracionDe") + nombre + Texto("NoEsElCorrecto") + kCR + path + kCR + l1,
               Msg::Critical);
        return false;
    }
    auto versionMala = [&](const QString& shown) {
        MsgBox(
            Texto("LaVersionDelFicheroDeConfiguracionDe") + nombre + Texto("NoEsCorrecta") + kCR + path + kCR + shown,
            Msg::Critical);
        return false;
    };
    const QString& l2 = header[1];
    if (!l2.contains(version)) return versionMala(l2);
    const QString& l3 = header[2];
    if (!l3.contains(QLatin1String("CAMPOS="))) return versionMala(l3);
    // No lower limit: a count below 2 keeps the caption row and no cells. A count
    // the runtime could not size a table with is a wrong third line.
    const double campos = Val(l3.mid(7)) - 1;
    if (!(campos <= 32767)) return versionMala(l3);
    const int n = campos < 0 ? 0 : int(campos);
    bool lost = false;

    BusyPointer busy;
    table.reset(n);
    table.setText(text);
    // A field takes at least its TAB: never more fields than characters.
    const qsizetype lineEnds =
        qMax(countByte(bytes.constData(), bytes.size(), '\n'), countByte(bytes.constData(), bytes.size(), '\r')) + 1;
    table.reserveFields(qMin(lineEnds * n, size));
    // Each row is walked once: TAB, CR and LF are the only characters that stop it.
    auto plain = [](QChar c) { return c.unicode() > u'\r' || (c != kTab && c != kCR && c != QLatin1Char('\n')); };
    for (qsizetype i = rowsStart; i < rowsEnd; i = pastLineEnd(i)) {
        table.addRow();
        // Field 0 is the row number; fields 1..n are the cells, the rest is ignored.
        while (i < size && plain(d[i])) ++i;
        for (int k = 0; i < size && d[i] == kTab; ++k) {
            if (k == n) {
                // Text beyond the stored columns is left out: that much of the file is lost.
                for (++i; i < size && !endsLine(d[i]); ++i) lost = lost || (d[i] != kTab && d[i] != QLatin1Char(' '));
                break;
            }
            const qsizetype start = ++i;
            while (i < size && plain(d[i])) ++i;
            if (start == i && (i == size || d[i] != kTab)) break;  // the trailing TAB ends the line
            table.addField(start, i - start);
        }
    }
    markLossyLoad(path, lost || found);
    return true;
}

void Carga_CabecerasComunes(SignalGrid& grid, QVector<InfoColumna>& info, int colDireccion, int colTipoSenyal,
                            int colActiva) {
    if (info.size() < grid.Cols()) info.resize(grid.Cols());
    auto columna = [&](int col, const QString& caption, int width) -> InfoColumna* {
        if (col < 0 || col >= grid.Cols()) return nullptr;
        grid.setTextMatrix(0, col, caption);
        grid.setColWidth(col, width);
        return &info[col];
    };
    columna(0, Texto("Noo"), 500);
    if (colDireccion > 0)
        if (InfoColumna* c = columna(colDireccion, Texto("Dir"), 600)) {
            c->Tipo = 0;
            c->Ayuda = Texto("AyudaDirAscii");
        }
    if (colTipoSenyal > 0)
        if (InfoColumna* c = columna(colTipoSenyal, QStringLiteral("A/D"), 600)) {
            c->Tipo = 1;
            c->Ayuda = Texto("TipoSenyal");
            // The viewer shows a point's type by these.
            c->Opciones.clear();
            c->Opciones.Add(Texto("0-Ana"), QStringLiteral("K0"));
            c->Opciones.Add(Texto("1-Dig"), QStringLiteral("K1"));
        }
    if (colActiva > 0)
        if (InfoColumna* c = columna(colActiva, Texto("Activa"), 600)) {
            c->Tipo = 1;
            c->Ayuda = Texto("IndicaSiIntegrar");
        }
}

bool GrabaProyecto(const std::function<void()>& grabaIni, int protocolo, const SignalGrid& grid) {
    takeBackupsMade();
    bool ok = true;
    {
        IniBatch once;  // the INI file written once, not once per key
        grabaIni();
        // A damaged Project.ini is written again from what could be read, like the other files.
        for (const DamagedFile& f : findProjectDamage(app().RutaProyecto, QString()))
            iniWrite(f.path, QStringLiteral("Project"), QStringLiteral("Prot"), app().ProtProyecto);
        ok = once.finish();
    }
    ok = Graba_Senyales(protocolo, QString::fromLatin1(kVersionTabla), grid, true) && ok;
    QStringList whys;
    const QStringList backups = takeBackupsMade(&whys);
    QString told, last;
    for (int i = 0; i < backups.size(); ++i) {
        const QString why = whys[i].isEmpty() ? Texto("CopiaAntesDeGrabar") : whys[i];
        if (why != last) told += (told.isEmpty() ? QString() : QStringLiteral("\r")) + why;
        told += QLatin1Char('\r') + backups[i];
        last = why;
    }
    if (!told.isEmpty()) Aviso(told);
    return ok;
}

void Aplica_Columnas(SignalGrid& grid, QVector<InfoColumna>& info, const DefColumna* defs, int count) {
    for (int c = 0; c < count; ++c) {
        const DefColumna& d = defs[c];
        if (d.caption) grid.setTextMatrix(0, c, QString::fromLatin1(d.caption));
        if (d.captionKey) grid.setTextMatrix(0, c, Texto(QString::fromLatin1(d.captionKey)));
        if (d.kind >= 0) info[c].Tipo = qint16(d.kind);
        if (d.help) info[c].Ayuda = QString::fromLatin1(d.help);
        if (d.helpKey) info[c].Ayuda = Texto(QString::fromLatin1(d.helpKey));
        grid.setColDataType(c, d.valueType);
        grid.setColWidth(c, d.width);
    }
}

QString AyudaDireccion(int maxAddress) { return Texto("AyudaDireccionAscii") + QString::number(maxAddress); }
