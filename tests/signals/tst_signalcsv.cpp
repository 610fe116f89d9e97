// Spreadsheet files: what reading makes of the files spreadsheet programs
// write, what it refuses, and the formula guard both ways.
#include <QtTest>

#include "SignalCsv.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
// Records as "a|b" lines joined by "\n", or "!" + the start of the message.
QString read(const QByteArray& bytes, QChar* sep = nullptr) {
    CsvRecords r;
    QString error;
    if (!csvDecode(bytes, &r, &error)) return QStringLiteral("!") + error;
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
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("commas, CR LF") << QByteArray("a,b\r\n1,2\r\n") << "a|b\n1|2";
        QTest::newRow("semicolons found from the captions") << QByteArray("a;b\n1,5;2\n") << "a|b\n1,5|2";
        QTest::newRow("quoted separator, quote, line break")
            << QByteArray("a,b\n\"x,y\",\"say \"\"hi\"\"\r\nnext\"\n") << "a|b\nx,y|say \"hi\"\r\nnext";
        QTest::newRow("lone CR ends lines, blank lines skipped") << QByteArray("a\r\r1\r") << "a\n1";
        QTest::newRow("separator at the end: one more empty field") << QByteArray("a,b\n1,") << "a|b\n1|";
        QTest::newRow("UTF-8 with mark") << QByteArray(
                                                "\xEF\xBB\xBF"
                                                "d\n\xC3\xA9\xE2\x82\xAC")
                                         << u8"d\né€";
        QTest::newRow("UTF-8 without mark") << QByteArray("d\n\xC3\xA9") << u8"d\né";
        QTest::newRow("Windows-1252") << QByteArray("d\n\xE9\x80") << u8"d\né€";
        QTest::newRow("guard removed") << QByteArray("d\n'=SUM(A1),'-x,''y,'a") << "d\n=SUM(A1)|-x|'y|'a";
        QTest::newRow("text after a closing quote kept") << QByteArray("d\n\"ab\"c,x") << "d\nabc|x";
        QTest::newRow("quote never closed")
            << QByteArray("a\n1\n\"open,\n2\n") << "!" + Texto("CsvComillaSinCerrar") + "3";
        QTest::newRow("binary") << QByteArray("PK\x03\x04\0\0\x14", 7) << "!" + Texto("CsvNoEsTexto");
        QTest::newRow("10,000 columns") << QByteArray(10000, ',') << "!" + Texto("CsvDemasiadasColumnas") + "256";
        QTest::newRow("empty") << QByteArray("\r\n\r\n") << "!" + Texto("CsvVacio");
        QTest::newRow("50 MB") << QByteArray(50 * 1024 * 1024, 'x') << "!" + Texto("CsvDemasiadoGrande") + "16 MB";
    }
    void decode() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(read(bytes), expected);
    }

    // Written, then read back: the same texts; the cell as a spreadsheet sees it.
    void encodeRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("formula") << "=HYPERLINK(\"x\")"
                                 << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("plus, at") << "+A1@"
                                  << "'+A1@";
        QTest::newRow("at") << "@SUM"
                            << "'@SUM";
        QTest::newRow("negative number") << "-12"
                                         << "-12";
        QTest::newRow("decimal number") << "+1,5e3"
                                        << "\"+1,5e3\"";
        QTest::newRow("minus text") << "-x"
                                    << "'-x";
        QTest::newRow("guard of its own") << "'=a"
                                          << "''=a";
        QTest::newRow("plain apostrophe") << "'a"
                                          << "'a";
        QTest::newRow("separator and line break") << "a,b\r\nc"
                                                  << "\"a,b\r\nc\"";
    }
    void encodeRoundTrip() {
        QFETCH(QString, text);
        QFETCH(QString, written);
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
        QCOMPARE(csvUnstorableChar(QString(QChar(0x80))), QChar(0x80));  // a C1 control cp1252 maps elsewhere
    }
};

QTEST_GUILESS_MAIN(TestSignalCsv)
#include "tst_signalcsv.moc"
