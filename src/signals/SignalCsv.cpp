#include "SignalCsv.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include "AnsiText.h"
#include "mIdioma.h"

namespace {
const QChar kGuard = QLatin1Char('\'');

bool isFormulaStart(QChar c) {
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@');
}

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// A number as a spreadsheet reads one ("-12", "+3,5", "-1.5e3"): safe to leave unguarded.
bool isNumber(const QString& t) {
    int i = 0;
    const int n = int(t.size());
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    int digits = 0;
    while (i < n && isDigit(t[i])) ++i, ++digits;
    if (i < n && (t[i] == QLatin1Char('.') || t[i] == QLatin1Char(','))) {
        ++i;
        while (i < n && isDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
        int exp = 0;
        while (i < n && isDigit(t[i])) ++i, ++exp;
        if (exp == 0) return false;
    }
    return i == n;
}

// The separator of the caption row: the more frequent of "," and ";" outside quotes.
QChar detectSeparator(const QString& text) {
    int commas = 0, semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) quoted = !quoted;
        if (quoted) continue;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) break;
        if (c == QLatin1Char(',')) ++commas;
        if (c == QLatin1Char(';')) ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

QString decodeText(const QByteArray& bytes, bool* utf8) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        *utf8 = true;
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    }
    QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = strict.decode(bytes);
    *utf8 = !strict.hasError();
    return *utf8 ? text : fromAnsi(bytes);
}

QString quoted(const QString& cell, QChar separator) {
    for (const QChar c : cell) {
        if (c == separator || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            QString q = cell;
            q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            return QLatin1Char('"') + q + QLatin1Char('"');
        }
    }
    return cell;
}
}  // namespace

QChar csvDefaultSeparator() {
    return QLocale().decimalPoint() == QStringLiteral(",") ? QLatin1Char(';') : QLatin1Char(',');
}

QString csvGuard(const QString& text) {
    if (text.isEmpty()) return text;
    const bool formula = isFormulaStart(text[0]) && !isNumber(text);
    const bool guardFirst = text[0] == kGuard && text.size() > 1 && (isFormulaStart(text[1]) || text[1] == kGuard);
    return formula || guardFirst ? kGuard + text : text;
}

QString csvUnguard(const QString& text) {
    if (text.size() > 1 && text[0] == kGuard && (isFormulaStart(text[1]) || text[1] == kGuard)) return text.mid(1);
    return text;
}

QByteArray csvEncode(const QVector<QStringList>& records, QChar separator) {
    QString out;
    for (const QStringList& record : records) {
        for (int i = 0; i < record.size(); ++i) {
            if (i) out += separator;
            out += quoted(csvGuard(record[i]), separator);
        }
        out += QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

bool csvDecode(const QByteArray& bytes, CsvRecords* out, QString* error, const CsvProgress& progress) {
    out->records.clear();
    out->numbers.clear();
    const qint64 total = bytes.size();
    if (total > kCsvMaxBytes) {
        *error = Texto("CsvDemasiadoGrande") + QString::number(kCsvMaxBytes / (1024 * 1024)) + QStringLiteral(" MB");
        return false;
    }
    if (bytes.contains('\0')) {
        *error = Texto("CsvNoEsTexto");
        return false;
    }
    const QString text = decodeText(bytes, &out->utf8);
    const QChar sep = detectSeparator(text);
    out->separator = sep;

    const QChar* p = text.constData();
    const qsizetype n = text.size();
    QStringList record;
    QString field;
    bool fieldStarted = false;  // a quoted part was read: a further quote is text
    qsizetype i = 0;
    int recordNo = 1;
    qsizetype nextReport = 0;
    auto endField = [&]() {
        record << csvUnguard(field);
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&]() {
        endField();
        // A line that holds nothing at all (a blank line a spreadsheet added) is no record.
        if (!(record.size() == 1 && record[0].isEmpty())) {
            out->records << record;
            out->numbers << recordNo;
        }
        record.clear();
        ++recordNo;
    };
    auto overLimits = [&]() {
        const bool fields =
            record.size() > kCsvMaxFields || (!out->records.isEmpty() && out->records.last().size() > kCsvMaxFields);
        if (!fields && out->records.size() <= kCsvMaxRecords) return false;
        *error = fields ? Texto("CsvDemasiadasColumnas") + QString::number(kCsvMaxFields)
                        : Texto("CsvDemasiadasFilas") + QString::number(kCsvMaxRecords);
        out->records.clear();
        return true;
    };
    while (i < n) {
        if (progress && i >= nextReport) {
            progress(total * i / n, total);
            nextReport = i + 256 * 1024;
        }
        const QChar c = p[i];
        if (c == QLatin1Char('"') && field.isEmpty() && !fieldStarted) {
            const int startRecord = recordNo;
            for (++i;; ++i) {
                if (i >= n) {
                    *error = Texto("CsvComillaSinCerrar") + QString::number(startRecord);
                    out->records.clear();
                    return false;
                }
                if (p[i] == QLatin1Char('"')) {
                    if (i + 1 >= n || p[i + 1] != QLatin1Char('"')) break;
                    ++i;  // "" inside quotes is one quote
                }
                field += p[i];
            }
            ++i;
            fieldStarted = true;
            continue;
        }
        if (c == sep) {
            endField();
            ++i;
            if (i == n) endRecord();  // a separator at the very end opens one more (empty) field
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && p[i + 1] == QLatin1Char('\n')) ++i;
            ++i;
            endRecord();
        } else {
            field += c;
            ++i;
            continue;
        }
        if (overLimits()) return false;
    }
    if (!field.isEmpty() || fieldStarted || !record.isEmpty()) {
        endRecord();  // the last record, with no line end to close it, counts against the limits too
        if (overLimits()) return false;
    }
    if (progress) progress(total, total);
    if (out->records.isEmpty()) {
        *error = Texto("CsvVacio");
        return false;
    }
    return true;
}

bool csvReadFile(const QString& path, CsvRecords* out, QString* error, const CsvProgress& progress) {
    const QFileInfo fi(path);
    if (!fi.isFile()) {
        *error = Texto("ErrorAlAbrirFichero") + QLatin1Char('\r') + path;
        return false;
    }
    if (fi.size() > kCsvMaxBytes) {
        *error = Texto("CsvDemasiadoGrande") + QString::number(kCsvMaxBytes / (1024 * 1024)) + QStringLiteral(" MB");
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = Texto("ErrorAlAbrirFichero") + QLatin1Char('\r') + path + QLatin1Char('\r') + f.errorString();
        return false;
    }
    return csvDecode(f.read(kCsvMaxBytes + 1), out, error, progress);
}

QString csvPlace(int record, const QString& column) {
    return Texto("CsvFila") + QString::number(record) + Texto("CsvColumna") + QLatin1Char('"') + column +
           QStringLiteral("\": ");
}

bool csvSinFallos(QStringList* faults) {
    if (faults->size() >= kCsvMaxFaults) *faults << Texto("CsvMasErrores");
    return faults->isEmpty();
}

QChar csvUnstorableChar(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\t' || u == '\r' || u == '\n') return c;
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) continue;
        if (fromAnsi(toAnsi(QString(c))) != QString(c)) return c;
    }
    return QChar();
}

int csvMenuItem(const QVector<QStringList>& items, const QString& text, bool* exact) {
    int item = -1;
    *exact = false;
    for (int k = 0; k < items.size() && !*exact; ++k)
        for (const QString& alike : items[k]) {
            if (alike == text) *exact = true;
            if (alike.compare(text, Qt::CaseInsensitive) == 0) item = k;
        }
    return item;
}

QVector<int> csvColumns(const QStringList& header, const QVector<QStringList>& names, const QVector<int>& required,
                        const QStringList& captions, const CsvFault& fault) {
    QVector<int> target(header.size(), -1);
    for (int f = 0; f < header.size(); ++f) {
        const QString folded = header[f].trimmed().toCaseFolded();
        if (folded.isEmpty()) continue;  // a column without caption: its cells must be empty
        int col = -1;
        for (int c = 0; c < names.size() && col < 0; ++c)
            for (const QString& name : names[c])
                if (name.trimmed().toCaseFolded() == folded) col = c;
        if (col < 0) {
            fault(header[f], Texto("CsvColumnaDesconocida"));
        } else if (target.contains(col)) {
            fault(header[f], Texto("CsvColumnaRepetida"));
        } else {
            target[f] = col;
        }
    }
    for (int c : required)
        if (!target.contains(c)) fault(captions.value(c), Texto("CsvFaltaColumna"));
    return target;
}

bool csvBlankRecord(const QStringList& record) {
    for (const QString& s : record)
        if (!s.trimmed().isEmpty()) return false;
    return true;
}

QString csvCharFault(const QString& cell) {
    const QChar bad = csvUnstorableChar(cell);
    if (bad.isNull()) return QString();
    return Texto("CsvCaracter") + QStringLiteral("U+%1").arg(bad.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}
