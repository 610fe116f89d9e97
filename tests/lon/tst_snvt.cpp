// The SNVT catalogue: the table reader, the name and number indexes with their
// duplicate and preferred rules, the shipped LON.snvt against the public data
// (the chooser's writing into the grid is tested with the editor's window).
#include <QtTest>

#include "AppGlobals.h"
#include "ModSNVT.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
// A catalogue line: flag, number, name, type, offset, a, b, c, load, preferred.
QByteArray line(int number, const QString& name, const QString& load = "1", const QString& preferred = "1") {
    return QStringLiteral("x\t0\t%1\t0\t%2\t3\t1\t1\t-1\t0\t0\t0\t%3\t%4\r\n")
        .arg(number)
        .arg(name, load, preferred)
        .toLatin1();
}
const QByteArray kHead = "title\r\n#\tflag\tSNVT\t2\tname\ttype\toff\ta\tb\tc\tfilter\treal\tload\tpref\r\n";
}  // namespace

class TstSnvt : public QObject {
    Q_OBJECT
private slots:
    void load_data();
    void load();
    void recordFields();
    void missingFileKeepsCatalogue();
    void shippedCatalogueMatchesPublicData();
};

void TstSnvt::load_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("names");     // catalogue in order
    QTest::addColumn<int>("number");            // looked up by number
    QTest::addColumn<int>("byNumber");          // index found (0: none)
    QTest::addColumn<QStringList>("messages");  // texts shown
    const QString dup = "Found duplicated SNVT Name in LON.snvt";
    QTest::newRow("headers only") << QByteArray() << QStringList{} << 1 << 0 << QStringList{};
    QTest::newRow("load switch 0 or empty: no index taken")
        << line(1, "A", "0") + line(1, "B", "") + line(1, "C") << QStringList{"C"} << 1 << 1 << QStringList{};
    QTest::newRow("later preferred wins the number")
        << line(7, "A", "1", "0") + line(7, "B") << QStringList{"A", "B"} << 7 << 2 << QStringList{};
    QTest::newRow("both preferred: first keeps it")
        << line(7, "A") + line(7, "B") << QStringList{"A", "B"} << 7 << 1 << QStringList{};
    QTest::newRow("neither preferred: first keeps it")
        << line(7, "A", "1", "0") + line(7, "B", "1", "0") << QStringList{"A", "B"} << 7 << 1 << QStringList{};
    QTest::newRow("number 0 not indexed") << line(0, "A") << QStringList{"A"} << 0 << 0 << QStringList{};
    QTest::newRow("name in other case is a duplicate")
        << line(1, "SNVT_a") + line(2, "snvt_A") << QStringList{"SNVT_a", "snvt_A"} << 2 << 2 << QStringList{dup};
    QTest::newRow("LF, short line, no final line end")
        << QByteArray("x\t0\t3\t0\tA\t1\t0\t1\t0\t0\t0\t0\t1\t1\nx\t0\t4\t0\tB\nx\t0\t5\t0\tC\t1\t0\t1\t0\t0\t0\t0\t1")
        << QStringList{"A", "C"} << 5 << 2 << QStringList{};
    QByteArray twelve;
    for (int i = 0; i < 13; ++i) twelve += line(i + 1, "SAME");
    QStringList shown(10, dup);
    shown << "@SnvtMasDuplicados 2";
    QTest::newRow("ten duplicate messages, then one summary") << twelve << QStringList(13, "SAME") << 13 << 13 << shown;
}

void TstSnvt::load() {
    QFETCH(QByteArray, body);
    QFETCH(QStringList, names);
    QFETCH(int, number);
    QFETCH(int, byNumber);
    QFETCH(QStringList, messages);
    TestHome home;
    ScriptedPrompts prompts;
    QVERIFY(writeAll(home.file("TemplatesASCII/LON.snvt"), kHead + body));
    ModSNVT cat;
    QVERIFY(cat.CargaSNVT());
    QStringList got;
    for (int i = 1; i <= cat.count(); ++i) got << cat.entry(i).nombre;
    QCOMPARE(got, names);
    QCOMPARE(cat.indiceNumero(number), byNumber);
    if (!names.isEmpty()) QCOMPARE(cat.indiceNombre(names.first().toUpper()), 1);
    for (QString& m : messages)
        if (m.startsWith('@')) m = Texto(m.section(' ', 0, 0).mid(1)) + m.section(' ', 1);
    QCOMPARE(prompts.texts(), messages);
}

void TstSnvt::recordFields() {
    TestHome home;
    ScriptedPrompts prompts;
    // Lenient numbers: blanks, trailing text, ties to even, a point as decimal separator.
    QVERIFY(writeAll(home.file("TemplatesASCII/LON.snvt"),
                     kHead + "id\t1\t 39x\t2.5\tSNVT_temp\t3\t3.5\t1\t-1\t-2740\t4\t0.25\t1\t0\textra\r\n"));
    ModSNVT cat;
    QVERIFY(cat.CargaSNVT());
    QCOMPARE(cat.count(), 1);
    const SnvtRecord& e = cat.entry(1);
    QVERIFY(e.flag1 && !e.preferido);
    QCOMPARE(QList<int>({e.numero, e.numero2, e.tipo, e.offset, e.a, e.b, e.c, e.filtro}),
             QList<int>({39, 2, 3, 4, 1, -1, -2740, 4}));
    QCOMPARE(e.real, 0.25f);
    QVERIFY(prompts.texts().isEmpty());
}

void TstSnvt::missingFileKeepsCatalogue() {
    TestHome home;
    ScriptedPrompts prompts;
    ModSNVT cat;
    QVERIFY(cat.CargaSNVT());
    const int loaded = cat.count();
    QVERIFY(QFile::remove(home.file("TemplatesASCII/LON.snvt")));
    QVERIFY(!cat.CargaSNVT());
    QCOMPARE(cat.count(), loaded);
    QVERIFY(prompts.lastText().startsWith(Texto("NoSeEncuentraFicheroConf") + "\r"));
}

// Every type of the public table is in the shipped catalogue under its number;
// scalars with the table's scaling, structures as consecutive preferred fields.
void TstSnvt::shippedCatalogueMatchesPublicData() {
    TestHome home;
    ScriptedPrompts prompts;
    ModSNVT cat;
    QVERIFY(cat.CargaSNVT());
    QVERIFY(prompts.texts().isEmpty());  // no duplicate names
    QFile f(QStringLiteral(PILMORA_SOURCE_DIR "/data/snvt/snvt-master.tsv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    f.readLine();
    int types = 0;
    while (!f.atEnd()) {
        const QStringList t = QString::fromUtf8(f.readLine()).chopped(1).split('\t');
        if (t[0].isEmpty()) continue;
        ++types;
        const int k = cat.indiceNumero(t[0].toInt());
        QVERIFY2(k > 0, qPrintable(t[1]));
        const SnvtRecord& e = cat.entry(k);
        if (t[3] == "structure") {
            QVERIFY2(e.nombre.startsWith(t[1] + ".") || e.nombre == t[1], qPrintable(e.nombre));
            for (int j = k; j <= cat.count() && cat.entry(j).numero == e.numero; ++j)
                QVERIFY(cat.entry(j).preferido && cat.entry(j).offset < t[2].toInt());
        } else {
            QCOMPARE(e.nombre, t[1]);
            if (!t[4].isEmpty())
                QCOMPARE(QList<int>({e.a, e.b, e.c}), QList<int>({t[4].toInt(), t[5].toInt(), t[6].toInt()}));
        }
    }
    QCOMPARE(types, 210);  // 1..214 without 140..142 and 167
    const SnvtRecord& temp = cat.entry(cat.indiceNumero(39));
    QCOMPARE(QList<int>({temp.tipo, temp.a, temp.b, temp.c}), QList<int>({3, 1, -1, -2740}));
    const int sw = cat.indiceNumero(95);
    QCOMPARE(cat.entry(sw).nombre + " " + cat.entry(sw + 1).nombre, QString("SNVT_switch.value SNVT_switch.state"));
    QCOMPARE(QList<int>({cat.entry(sw + 1).offset, cat.entry(sw + 1).tipo}), QList<int>({1, 0}));
}

QTEST_GUILESS_MAIN(TstSnvt)
#include "tst_snvt.moc"
