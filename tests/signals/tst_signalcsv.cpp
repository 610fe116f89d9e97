// Spreadsheet files: what reading makes of the files spreadsheet programs write, what it refuses, the formula guard.
#include <QtTest>

#include "SignalCsv.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
// Records as "a|b" lines joined by "\n", or "!" + the start of the message; read from `file` when one is named.
QString read(const QByteArray& bytes, QChar* sep = nullptr, const QString& file = QString()) {
    CsvRecords r;
    QString error;
    if (!(file.isEmpty() ? csvDecode(bytes, &r, &error) : writeAll(file, bytes) && csvReadFile(file, &r, &error)))
        return QStringLiteral("!") + error;
    if (sep) *sep = r.separator;
    QStringList lines;
    for (const QStringList& rec : r.records) lines << rec.join('|');
    return lines.join('\n');
}
}  // namespace

class TestSignalCsv : public QObject {
    Q_OBJECT
    TestHome m_home{false};

private slots:
    void decode_data() {
        const auto row = addColumns<QByteArray, QString>("bytes", "expected");
        row("commas, CR LF", "a,b\r\n1,2\r\n", "a|b\n1|2");
        row("semicolons found from the captions", "a;b\n1,5;2\n", "a|b\n1,5|2");
        row("quoted separator, quote, line break", "a,b\n\"x,y\",\"say \"\"hi\"\"\r\nnext\"\n",
            "a|b\nx,y|say \"hi\"\r\nnext");
        row("lone CR ends lines, blank lines skipped", "a\r\r1\r", "a\n1");
        row("CR alone ends every line", "a,b\r1,2\r", "a|b\n1|2");
        row("separator at the end: one more empty field", "a,b\n1,", "a|b\n1|");
        row("UTF-8 with mark", "\xEF\xBB\xBF\x64\n\xC3\xA9\xE2\x82\xAC", u8"d\né€");  // \x64: d
        row("UTF-8 without mark", "d\n\xC3\xA9", u8"d\né");
        row("Windows-1252", "d\n\xE9\x80", u8"d\né€");
        row("guard removed", "d\n'=SUM(A1),'-x,''y,'a", "d\n=SUM(A1)|-x|'y|'a");
        row("text after a closing quote kept", "d\n\"ab\"c,x", "d\nabc|x");
        row("quote never closed", "a\n1\n\"open,\n2\n", "!" + Texto("CsvComillaSinCerrar") + "3");
        row("a doubled quote last is no closing one", "a\n\"ab\"\"", "!" + Texto("CsvComillaSinCerrar") + "2");
        row("closing quote last", "a\n\"ab\"\"\"", "a\nab\"");
        row("binary", QByteArray("PK\x03\x04\0\0\x14", 7), "!" + Texto("CsvNoEsTexto"));
        row("10,000 columns", QByteArray(10000, ','), "!" + Texto("CsvDemasiadasColumnas") + "256");
        row("empty", "\r\n\r\n", "!" + Texto("CsvVacio"));
        row("50 MB", QByteArray(50 * 1024 * 1024, 'x'), "!" + Texto("CsvDemasiadoGrande") + "16 MB");
        row("100,000 records", "a" + QByteArray("\n1").repeated(99999), "a" + QString("\n1").repeated(99999));
        row("100,001 records", "a" + QByteArray("\n1").repeated(100000), "!" + Texto("CsvDemasiadasFilas") + "100000");
    }
    void decode() {
        const auto [bytes, expected] = fetch<QByteArray, QString>("bytes", "expected");
        QCOMPARE(read(bytes), expected);
        QCOMPARE(read(bytes, nullptr, m_home.file("t.csv")), expected);  // the same from a file
    }

    // A file of a megabyte reports from 0 to its size, forward, at least every 256 KiB, so the dialog moves, and
    // not much more often, so the dialog does not slow the reading.
    void progressSteps() {
        QByteArray bytes("a,b\n");
        while (bytes.size() < 1024 * 1024) bytes += "1," + QByteArray(1000, 'x') + "\n";
        CsvRecords r;
        QString error;
        QList<qint64> done;
        QVERIFY(
            csvDecode(bytes, &r, &error, [&](qint64 d, qint64 total) { done << (total == bytes.size() ? d : -1); }));
        QCOMPARE(QList<qint64>({done.first(), done.last()}), QList<qint64>({0, bytes.size()}));
        QVERIFY2(done.size() <= 6, qPrintable(QString::number(done.size())));
        for (int k = 1; k < done.size(); ++k)
            QVERIFY2(done[k] > done[k - 1] && done[k] - done[k - 1] <= 256 * 1024, qPrintable(QString::number(k)));
    }

    // Written, then read back: the same texts; the cell as a spreadsheet sees it.
    void encodeRoundTrip_data() {
        const auto row = addColumns<QString, QString>("text", "written");
        row("formula", "=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"");
        row("plus, at", "+A1@", "'+A1@");
        row("at", "@SUM", "'@SUM");
        row("negative number", "-12", "-12");
        row("decimal number", "+1,5e3", "\"+1,5e3\"");
        row("negative exponent", "-1e-3", "-1e-3");
        row("exponent with a plus", "-1E+3", "-1E+3");
        row("minus text", "-x", "'-x");
        row("guard of its own", "'=a", "''=a");
        row("plain apostrophe", "'a", "'a");
        row("separator and line break", "a,b\r\nc", "\"a,b\r\nc\"");
    }
    void encodeRoundTrip() {
        const auto [text, written] = fetch<QString, QString>("text", "written");
        for (QChar sep : {QChar(','), QChar(';')}) {
            const QByteArray bytes = csvEncode({{"h", "i"}, {text, "z"}}, sep);
            QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
            QChar found;
            QCOMPARE(read(bytes, &found), "h|i\n" + text + "|z");
            QCOMPARE(found, sep);
            if (sep == ',') QCOMPARE(QString::fromUtf8(bytes.mid(3)), "h,i\r\n" + written + ",z\r\n");
        }
    }

    void unstorableCharacters() {
        QCOMPARE(csvUnstorableChar(QString(u8"Sala é € Œ ") + QChar(0x81)), QChar());
        QCOMPARE(csvUnstorableChar(u8"a\tb"), QChar('\t'));
        QCOMPARE(csvUnstorableChar(u8"snow ☃"), QChar(0x2603));
        QCOMPARE(csvCharFault(u8"中 ☃"), Texto("CsvCaracter") + "U+4E2D");  // the first, as its code is written
        QCOMPARE(csvUnstorableChar(QString(QChar(0x80))), QChar(0x80));     // a C1 control cp1252 maps elsewhere
    }
};

QTEST_GUILESS_MAIN(TestSignalCsv)
#include "tst_signalcsv.moc"
