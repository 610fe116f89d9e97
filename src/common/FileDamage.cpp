#include "FileDamage.h"

#include <QDir>
#include <QFileInfo>

#include "AnsiText.h"
#include "ByteScan.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {

// Start of each line, as the loaders split them (CR LF, CR or LF); a final line
// end starts no further line.
QVector<qsizetype> lineStarts(const QByteArray& b) {
    QVector<qsizetype> starts{0};
    const qsizetype n = b.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (b[i] != '\r' && b[i] != '\n') continue;
        if (b[i] == '\r' && i + 1 < n && b[i + 1] == '\n') ++i;
        if (i + 1 < n) starts << i + 1;
    }
    return starts;
}

// Fields of a table line as its reader walks them: a trailing TAB ends the line.
int fieldCount(const QByteArray& b, qsizetype start, qsizetype end) {
    if (end <= start) return 0;
    int tabs = 0;
    for (qsizetype i = start; i < end; ++i) tabs += b[i] == '\t';
    return tabs + (b[end - 1] == '\t' ? 0 : 1);
}

qsizetype lineEnd(const QByteArray& b, qsizetype start) {
    qsizetype e = start;
    while (e < b.size() && b[e] != '\r' && b[e] != '\n') ++e;
    return e;
}

FileDamage cutLastRow(const QByteArray& b) {
    FileDamage none;
    if (b.isEmpty() || b.endsWith('\r') || b.endsWith('\n')) return none;
    const QVector<qsizetype> starts = lineStarts(b);
    // Header lines 1-3, caption row 4, data from line 5: the last line must be data.
    if (starts.size() < 5) return none;
    const QByteArray third = b.mid(starts[2], lineEnd(b, starts[2]) - starts[2]);
    if (!third.startsWith("CAMPOS=")) return none;
    const double campos = Val(QString::fromLatin1(third.mid(7)));
    if (!(campos >= 2 && campos <= 32767)) return none;
    const int want = int(campos);
    const int last = int(starts.size()) - 1;
    if (fieldCount(b, starts[last], b.size()) >= want) return none;
    for (int i = 3; i < last; ++i)
        if (fieldCount(b, starts[i], lineEnd(b, starts[i])) < want) return none;
    FileDamage d;
    d.kind = FileDamage::CutRow;
    d.line = last + 1;
    d.offset = starts[last];
    return d;
}
}  // namespace

QString withoutDamagingChars(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && !isDamagingChar(text[i])) ++i;
    if (i == text.size()) return text;
    QString s = text;
    for (; i < s.size(); ++i)
        if (isDamagingChar(s[i])) s[i] = s[i] == QLatin1Char('\v') || s[i] == QLatin1Char('\f') ? ' ' : '?';
    return s;
}

FileDamage findFileDamage(const QByteArray& bytes, FileShape shape) {
    const char* p = bytes.constData();
    const qsizetype n = bytes.size();
    const qsizetype bad = firstDamagingByte(p, n);
    if (bad < n) {
        FileDamage d;
        d.kind = FileDamage::ControlBytes;
        d.line = 1;
        for (qsizetype i = 0; i < bad; ++i) {
            if (p[i] != '\r' && p[i] != '\n') continue;
            if (p[i] == '\r' && i + 1 < bad && p[i + 1] == '\n') ++i;
            ++d.line;
            d.offset = i + 1;
        }
        return d;
    }
    return shape == FileShape::SignalTable ? cutLastRow(bytes) : FileDamage();
}

QString describeDamage(const QString& path, const FileDamage& damage) {
    const char* why = damage.kind == FileDamage::CutRow ? "DanyoFilaCortada" : "DanyoBytes";
    return Texto("FicheroDanyado") + QDir::toNativeSeparators(path) + QLatin1Char('\r') + Texto(why) +
           QString::number(damage.line);
}

QVector<DamagedFile> findProjectDamage(const QString& folder, const QString& protocol, bool withTable) {
    QVector<DamagedFile> found;
    auto check = [&](const QString& name, FileShape shape) {
        const QString path = findNoCase(folder, name);
        QByteArray bytes;
        if (!QFileInfo(path).isFile() || !readFileBytes(path, &bytes)) return;
        if (const FileDamage d = findFileDamage(bytes, shape)) found.append({path, d});
    };
    check(QStringLiteral("Project.ini"), FileShape::Text);
    if (protocol.isEmpty()) return found;
    check(protocol + QStringLiteral(".ini"), FileShape::Text);
    if (withTable) check(protocol + QStringLiteral(".dat"), FileShape::SignalTable);
    return found;
}

void beginDamagedLoad(const QVector<DamagedFile>& files) {
    for (const DamagedFile& f : files) takeIniDefaults(f.path);
}

void avisaDanyosProyecto(const QVector<DamagedFile>& files) {
    if (files.isEmpty()) return;
    // A long list of keys would hide the rest of the message: the first ones and the count.
    constexpr int kShownKeys = 12;
    QString text;
    for (const DamagedFile& f : files) {
        text += describeDamage(f.path, f.damage) + QLatin1Char('\r') + Texto("DanyoLeidoHasta") + QLatin1Char('\r');
        const QStringList defaults = takeIniDefaults(f.path);
        if (!defaults.isEmpty()) {
            text += Texto("DanyoValoresDefecto") + defaults.mid(0, kShownKeys).join(QStringLiteral(", "));
            if (defaults.size() > kShownKeys)
                text += QStringLiteral(", ... (") + QString::number(defaults.size()) + ')';
            text += QLatin1Char('\r');
        }
        text += QLatin1Char('\r');
    }
    Aviso(text + Texto("DanyoCopiaAlGrabar"));
}
