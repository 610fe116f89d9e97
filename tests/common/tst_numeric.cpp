#include <QtTest>

#include "AnsiText.h"
#include "Numeric.h"

class TestNumeric : public QObject {
    Q_OBJECT
private slots:
    void val_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("leading number") << "12abc" << 12.0;
        QTest::newRow("blanks inside") << " 1 2 3" << 123.0;
        QTest::newRow("decimal") << "12.5" << 12.5;
        QTest::newRow("comma stops") << "12,5" << 12.0;
        QTest::newRow("negative") << "-7" << -7.0;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("hex lower") << "&hff" << 255.0;
        QTest::newRow("hex 16-bit wraps") << "&HFFFF" << -1.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("lone sign") << "-" << 0.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
    }
    void val() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Val(text), value);
    }

    void roundsHalfToEven_data() {
        QTest::addColumn<double>("in");
        QTest::addColumn<int>("out");
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("2.6") << 2.6 << 3;
        QTest::newRow("32767.4") << 32767.4 << 32767;
    }
    void roundsHalfToEven() {
        QFETCH(double, in);
        QFETCH(int, out);
        bool over = true;
        QCOMPARE(int(CInt(in, &over)), out);
        QVERIFY(!over);
    }
    void int16Overflow() {
        bool over = false;
        CInt(40000, &over);
        QVERIFY(over);
    }

    void reemplaza_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("repl");
        QTest::addColumn<QString>("out");
        QTest::newRow("no endless loop") << "aaa" << "a" << "aa" << "aaaaaa";
        QTest::newRow("lf removed") << "a\nb\n" << "\n" << "" << "ab";
        QTest::newRow("cr to crlf") << "a\rb" << "\r" << "\r\n" << "a\r\nb";
        QTest::newRow("absent") << "xyz" << "q" << "r" << "xyz";
    }
    void reemplaza() {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, repl);
        QFETCH(QString, out);
        QCOMPARE(Reemplaza(text, search, repl), out);
    }

    void normalizaDecimal() {
        QCOMPARE(Normaliza_Decimal("1,5,6"), QString("1.5,6"));
        QCOMPARE(Normaliza_Decimal("15"), QString("15"));
    }

    void ansiRoundTripsEveryByte() {
        QByteArray all;
        for (int i = 0; i < 256; ++i) all.append(char(i));
        QCOMPARE(toAnsi(fromAnsi(all)), all);
        QCOMPARE(fromAnsi(QByteArray("\x80")), QString(QChar(0x20AC)));
        QCOMPARE(toAnsi(QString::fromUtf8("Español")), QByteArray("Espa\xf1ol"));
    }
};

QTEST_GUILESS_MAIN(TestNumeric)
#include "tst_numeric.moc"
