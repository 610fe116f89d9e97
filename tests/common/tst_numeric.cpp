// Number conversions and the single-byte text mapping every file and the wire rely on.
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
        QTest::newRow("leading number") << "12abc" << 12.0;
        QTest::newRow("blanks inside") << " 1 2 3" << 123.0;
        QTest::newRow("comma stops") << "12,5" << 12.0;
        QTest::newRow("hex 16-bit wraps") << "&HFFFF" << -1.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
    }
    void val() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Val(text), value);
    }

    void cint_data() {
        QTest::addColumn<double>("in");
        QTest::addColumn<int>("out");
        QTest::addColumn<bool>("overflow");
        QTest::newRow("1.5 up") << 1.5 << 2 << false;
        QTest::newRow("2.5 down") << 2.5 << 2 << false;
        QTest::newRow("-2.5") << -2.5 << -2 << false;
        QTest::newRow("32767.4") << 32767.4 << 32767 << false;
        QTest::newRow("40000 overflows") << 40000.0 << -1 << true;
    }
    void cint() {
        QFETCH(double, in);
        QFETCH(int, out);
        QFETCH(bool, overflow);
        bool over = !overflow;
        const int r = CInt(in, &over);
        QCOMPARE(over, overflow);
        if (!overflow) QCOMPARE(r, out);
    }

    void textHelpers() {
        QCOMPARE(Reemplaza("aaa", "a", "aa"), QString("aaaaaa"));  // no endless loop
        QCOMPARE(Reemplaza("a\rb", "\r", "\r\n"), QString("a\r\nb"));
        QCOMPARE(Normaliza_Decimal("1,5,6"), QString("1.5,6"));
        QByteArray all;
        for (int i = 0; i < 256; ++i) all.append(char(i));
        QCOMPARE(toAnsi(fromAnsi(all)), all);
        QCOMPARE(fromAnsi(QByteArray("\x80")), QString(QChar(0x20AC)));
    }
};

QTEST_GUILESS_MAIN(TestNumeric)
#include "tst_numeric.moc"
