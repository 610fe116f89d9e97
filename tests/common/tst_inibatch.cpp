// Batched INI writes: the same bytes as one write per key, reads that see the
// collected values, one write per file at the end.
#include <QFile>
#include <QtTest>

#include "AppGlobals.h"
#include "ModulINI.h"
#include "TestSupport.h"

namespace {
using Writes = QList<QStringList>;  // (section, key, value)

void apply(const QString& path, const Writes& w) {
    for (const QStringList& e : w) QVERIFY(iniWrite(path, e[0], e[1], e[2]));
}
}  // namespace

class TstIniBatch : public QObject {
    Q_OBJECT
private slots:
    void sameBytesAsKeyByKey_data() {
        QTest::addColumn<QByteArray>("start");  // "-" : no file
        QTest::addColumn<Writes>("writes");
        const Writes lon{{"LON", "Domain", "0A"},      {"LON", "NDevs", "2"},    {"LON", "D1-On", "1"},
                         {"ASCII", "IP", "127.0.0.1"}, {"LON", "D2-Nm", "Pump"}, {"ASCII", "Port", "5000"}};
        QTest::newRow("new file") << QByteArray("-") << lon;
        QTest::newRow("keys replaced in place, spelling kept")
            << QByteArray("[lon]\r\n ndevs = 7\r\n; note\r\nDOMAIN=FF\r\n\r\n[Other]\r\nx=1\r\n") << lon;
        QTest::newRow("same key twice") << QByteArray("[A]\r\nk=0\r\n")
                                        << Writes{{"A", "k", "1"}, {"A", "k", "2"}, {"B", "k", "3"}, {"A", "j", "4"}};
        QTest::newRow("insert shifts the later sections")
            << QByteArray("[A]\r\nk=1\r\n\r\n[B]\r\nx=1\r\n[A]\r\nm=2\r\n")
            << Writes{{"A", "m", "5"}, {"A", "n", "6"}, {"B", "x", "7"}, {"B", "y", "8"},
                      {"A", "k", "9"}, {"C", "z", "0"}, {"B", "x", "10"}};
        QTest::newRow("value with a line break")
            << QByteArray("[A]\r\nk=0\r\n") << Writes{{"A", "k", "1\r\n[B]\r\nz=2"}, {"A", "j", "3"}};
        QTest::newRow("lone LF and no last line end")
            << QByteArray("[A]\nk=0\n[B]\rz=9") << Writes{{"B", "y", "1"}, {"A", "k", "2"}};
    }
    void sameBytesAsKeyByKey() {
        QFETCH(QByteArray, start);
        QFETCH(Writes, writes);
        TestHome home(false);
        const QString one = home.file("one.ini"), batched = home.file("batched.ini");
        for (const QString& p : {one, batched})
            if (start != "-") QVERIFY(writeAll(p, start));
        apply(one, writes);
        {
            IniBatch batch;
            apply(batched, writes);
            // Nothing on disk yet; reads see the new values.
            QCOMPARE(QFile::exists(batched), start != "-");
            if (start != "-") QCOMPARE(readAll(batched), start);
            const QStringList& last = writes.last();
            QCOMPARE(iniRead(batched, last[0], last[1], "?"), last[2]);
        }
        QCOMPARE(readAll(batched), readAll(one));
        for (const QStringList& w : writes + Writes{{"B", "z"}})
            QCOMPARE(iniRead(batched, w[0], w[1], "?"), iniRead(one, w[0], w[1], "?"));
    }
};

QTEST_GUILESS_MAIN(TstIniBatch)
#include "tst_inibatch.moc"
