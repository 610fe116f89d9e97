// Language file: one TAB-separated line per key, one column per language.
#include "mIdioma.h"

#include <QFile>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ModulINI.h"
#include "Prompts.h"

namespace {

const QString kFallbackName = QStringLiteral("RESOURCES.LNG");

// Blanks are spaces: a TAB is a field separator, never padding.
QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' ')) ++b;
    while (e > b && s[e - 1] == QLatin1Char(' ')) --e;
    return s.mid(b, e - b);
}

// Lines end in CR LF; files edited elsewhere may end them in LF or a lone CR.
QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lines << text.mid(start, i - start);
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            start = i + 1;
        }
    }
    if (start < n) lines << text.mid(start);
    return lines;
}

// Language names of the header: the fields between TABs after the key column,
// up to "Software" or the last field that a TAB closes.
QStringList languageNames(const QString& header) {
    QStringList names;
    qsizetype prev = header.indexOf(QLatin1Char('\t'));
    while (prev >= 0) {
        const qsizetype next = header.indexOf(QLatin1Char('\t'), prev + 1);
        if (next < 0) break;
        const QString name = trimBlanks(header.mid(prev + 1, next - prev - 1));
        if (name == QLatin1String("Software")) break;
        names << name;
        prev = next;
    }
    return names;
}

// Field `column` (1-based) of a record, and its key. A record with fewer fields
// starts again from its beginning: "Key" alone is its own text in every column.
void recordField(const QString& line, int column, QString* key, QString* text) {
    qsizetype p = -1;  // position of the last TAB found, -1 = none (back at the start)
    for (int n = 1; n <= column; ++n) {
        const qsizetype s = p + 1;
        p = line.indexOf(QLatin1Char('\t'), s);
        const QString field = p < 0 ? line.mid(s) : line.mid(s, p - s);
        if (n == 1) *key = field;
        if (n == column) *text = field;
    }
}

bool fatal(const QString& firstPath) {
    MsgBox(QStringLiteral("Error or File not found. ") + firstPath, Msg::Critical, QString::fromLatin1(kAppTitle));
    return false;
}

// Repeated keys are told in one message, the first few by name: a file pasted
// together twice must not raise a box per line.
constexpr int kDuplicatesNamed = 10;

// A missing key's own message box looks its captions up too; they must not ask again.
bool g_reporting = false;

}  // namespace

bool CargaIdioma() {
    auto& a = app();
    a.Textos.clear();
    a.Idiomas.clear();
    a.Idioma = qint16(LeeIniAplicacionEntero(QStringLiteral("Configuracion"), QStringLiteral("Language"), 0));

    const QString firstPath = findNoCase(a.appFolder, QString::fromLatin1(kAppTitle) + QStringLiteral(".LNG"));
    QByteArray bytes;
    if (!readFileBytes(firstPath, &bytes)) {
        MsgBox(QStringLiteral("File not found. ") + firstPath, Msg::Critical, QString::fromLatin1(kAppTitle));
        if (!readFileBytes(findNoCase(a.appFolder, kFallbackName), &bytes)) return fatal(firstPath);
    }

    const QStringList lines = splitLines(fromAnsi(bytes));
    if (lines.isEmpty() || trimBlanks(lines.first()).isEmpty()) return fatal(firstPath);
    a.Idiomas = languageNames(lines.first());
    if (a.Idiomas.isEmpty()) return fatal(firstPath);

    // Index -1 is the key column: each key is its own text. Lower indexes
    // would reach no field at all and read the same way.
    const int column = qMax<int>(a.Idioma + 2, 1);
    QStringList duplicates;
    bool moreDuplicates = false;
    for (int i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1Char('*')) || trimBlanks(line).isEmpty()) continue;
        QString key, text;
        recordField(line, column, &key, &text);
        if (text.isEmpty()) text = QStringLiteral("???");
        const QString folded = key.toLower();
        if (a.Textos.contains(folded)) {
            if (duplicates.size() < kDuplicatesNamed)
                duplicates << key;
            else
                moreDuplicates = true;
            continue;
        }
        a.Textos.insert(folded, text);
    }
    if (!duplicates.isEmpty()) {
        if (moreDuplicates) duplicates << QStringLiteral("...");
        Msgbox1(QStringLiteral("Duplicated register in ") + firstPath + QLatin1Char('\r') +
                    duplicates.join(QLatin1Char('\r')),
                QString(), 3, 1, 1);
    }
    return true;
}

QString Texto(const QString& key) {
    const auto& t = app().Textos;
    const auto it = t.constFind(key.toLower());
    if (it != t.constEnd()) return *it;
    if (!g_reporting) {
        g_reporting = true;
        Msgbox1(QStringLiteral("No text found for Key: ") + key, QString(), 3, 1, 1);
        g_reporting = false;
    }
    return QStringLiteral("???");
}

bool HayTexto(const QString& key) { return app().Textos.contains(key.toLower()); }

QHash<QString, QStringList> TextosEnTodosLosIdiomas(const QStringList& keys) {
    QHash<QString, QStringList> out;
    QByteArray bytes;
    const QString path = findNoCase(app().appFolder, QString::fromLatin1(kAppTitle) + QStringLiteral(".LNG"));
    if (!readFileBytes(path, &bytes) && !readFileBytes(findNoCase(app().appFolder, kFallbackName), &bytes)) return out;
    const QStringList lines = splitLines(fromAnsi(bytes));
    if (lines.isEmpty()) return out;
    const int languages = int(languageNames(lines.first()).size());
    QHash<QString, QString> wanted;  // folded -> as asked
    for (const QString& k : keys) wanted.insert(k.toLower(), k);
    for (int i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0 || line.startsWith(QLatin1Char('*'))) continue;
        const auto it = wanted.constFind(line.left(tab).toLower());
        if (it == wanted.constEnd() || out.contains(*it)) continue;
        QStringList texts;
        for (int column = 2; column < languages + 2; ++column) {
            QString key, text;
            recordField(line, column, &key, &text);
            texts << trimBlanks(text);
        }
        out.insert(*it, texts);
    }
    return out;
}

void CambiaIdioma(int index) {
    app().Idioma = qint16(index);
    EscribeIniAplicacion(QStringLiteral("Configuracion"), QStringLiteral("Language"), QString::number(index));
    Aviso(Texto(QStringLiteral("CambiosTenganEfectosReiniciar")), 2);
}
