// The pilmora command-line tool as a real process: usage and exit codes, check
// and generate on good and broken projects, repeatable output with --at.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "LonFixtures.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
const QString kAt = QStringLiteral("2026/12/06 07:00:00");

struct Run {
    int code = -1;
    QString out, err;
};

Run pilmora(const QString& home, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("PILMORA_HOME");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PILMORA_BIN_DIR "/pilmora"), QStringList{"--home", home} + args);
    Run r;
    if (!p.waitForFinished(30000)) return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// A good project: two devices, readable and write points, error rows.
LonFixture goodProject() { return largeLonFixture(2, 12, "A-Basic", "V.43.1.x"); }
}  // namespace

class TstLonCli : public QObject {
    Q_OBJECT
private slots:
    void help();
    void wrongUsage_data();
    void wrongUsage();
    void noLanguageFile();
    void check_data();
    void check();
    void generate_data();
    void generate();
    void generateTwiceIdentical();
};

void TstLonCli::help() {
    TestHome home;
    const Run r = pilmora(home.path(), {"--help"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains(Texto("PilmoraUso")));
    QVERIFY(r.out.contains("pilmora [--home DIR] check PROJECT_DIR"));
    QVERIFY(r.out.contains("generate PROJECT_DIR [--at \"yyyy/mm/dd hh:nn:ss\"]"));
    QVERIFY(r.out.contains(Texto("PilmoraAyudaGenerate")));
}

void TstLonCli::wrongUsage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"compile", "P"};
    QTest::newRow("no project") << QStringList{"check"};
    QTest::newRow("two projects") << QStringList{"check", "P", "Q"};
    QTest::newRow("unknown option") << QStringList{"check", "P", "--fast"};
    QTest::newRow("--at not a date") << QStringList{"generate", "P", "--at", "yesterday"};
    QTest::newRow("--at without value") << QStringList{"generate", "P", "--at"};
    QTest::newRow("--at with check") << QStringList{"check", "P", "--at", kAt};
}

void TstLonCli::wrongUsage() {
    QFETCH(QStringList, args);
    TestHome home;
    writeLonFixture(home.file("P"), goodProject());
    const Run r = pilmora(home.path(), args);
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.contains(Texto("PilmoraErrorUso")));
    QVERIFY(r.err.contains(Texto("PilmoraUso")));
    QVERIFY(!QFile::exists(home.file("P/LON.Plmx")));
}

void TstLonCli::noLanguageFile() {
    TestHome home;
    const QString empty = home.file("empty");
    QDir().mkpath(empty);
    writeLonFixture(home.file("P"), goodProject());
    const Run r = pilmora(empty, {"check", home.file("P")});
    QCOMPARE(r.code, 1);
}

void TstLonCli::check_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");  // language key whose text must be printed
    QTest::newRow("good") << "" << 0 << "ComprobacionCorrecta";
    QTest::newRow("repeated address") << "repeat" << 1 << "repetida";
    QTest::newRow("device beyond NDevs") << "device" << 1 << "SoloValoresDispositivoEntre";
    QTest::newRow("address above the version's maximum") << "address" << 1 << "AddressDebeSerNumeroEntre";
    QTest::newRow("devices with one address") << "sameNid" << 1 << "";
    QTest::newRow("no signal table") << "noDat" << 1 << "NoSeEncuentraFicheroConf";
    QTest::newRow("no LON.ini: one device") << "noIni" << 1 << "SoloValoresDispositivoEntre";
    QTest::newRow("empty rows removed") << "emptyRows" << 0 << "ComprobacionCorrecta";
    QTest::newRow("data type out of range") << "dataType" << 0 << "AlgunDatoIncorrecto";
    QTest::newRow("other protocol") << "mbs6" << 1 << "ProtocoloNoSoportado";
    QTest::newRow("no description file") << "noProject" << 1 << "ProtocoloNoSoportado";
    QTest::newRow("no such folder") << "noFolder" << 1 << "ProyectoNoEncontrado";
}

void TstLonCli::check() {
    QFETCH(QString, change);
    QFETCH(int, code);
    QFETCH(QString, expected);
    TestHome home;
    LonFixture f = goodProject();
    if (change == "repeat") f.rows[6][12] = f.rows[5][12];
    if (change == "device") f.rows[6][0] = "3";
    if (change == "address") f.rows[6][12] = "501";
    if (change == "sameNid") f.devices[1].nid = f.devices[0].nid.toLower();
    if (change == "noDat") f.writeDat = false;
    if (change == "noIni") f.writeIni = false;
    if (change == "emptyRows") f.rows.insert(4, QStringList(17, QString()));
    if (change == "dataType") f.rows[6][5] = "8";
    const QString dir = home.file("P");
    writeLonFixture(dir, f);
    if (change == "mbs6") writeAll(dir + "/Project.ini", "[Project]\r\nProt=MBS6\r\n");
    if (change == "noProject") QFile::remove(dir + "/Project.ini");
    const Run r = pilmora(home.path(), {"check", change == "noFolder" ? home.file("nowhere") : dir});
    QCOMPARE(r.code, code);
    if (!expected.isEmpty()) QVERIFY2((r.out + r.err).contains(Texto(expected)), qPrintable(r.out + r.err));
    if (change == "sameNid") QVERIFY(r.err.contains("Two devices have same address Neuron-ID:"));
    if (change == "repeat") QVERIFY(r.err.contains(Texto("PosicionCelda") + "7, 13"));
    if (change == "mbs6") QVERIFY(r.err.contains(Texto("ProtocoloNoSoportado") + "MBS6"));
    QVERIFY(!QFile::exists(dir + "/LON.Plmx"));
}

void TstLonCli::generate_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("file");
    QTest::newRow("good") << "" << 0 << "AhoraPuedeEnviaraMerovantixFichero" << true;
    QTest::newRow("device subnet above 255") << "subnet" << 1 << "ErrorAlGenerarFichero" << true;
    QTest::newRow("device without readable rows") << "noInputs" << 1 << "NoSenyalesEntradaDispositivo" << false;
    QTest::newRow("no LON.ini: nothing in use") << "noIni" << 1 << "NoEncontradoSenyales" << false;
    QTest::newRow("no signal table") << "noDat" << 1 << "NoSeEncuentraFicheroConf" << false;
    QTest::newRow("NDevs 0") << "ndevs0" << 0 << "AhoraPuedeEnviaraMerovantixFichero" << true;
    QTest::newRow("NDevs -5") << "ndevs-5" << 0 << "AhoraPuedeEnviaraMerovantixFichero" << true;
    QTest::newRow("NDevs 100000") << "ndevs100000" << 1 << "NoSenyalesEntradaDispositivo" << false;
    QTest::newRow("data type out of range") << "dataType" << 0 << "AlgunDatoIncorrecto" << true;
    QTest::newRow("garbage in every key") << "garbage" << 0 << "AhoraPuedeEnviaraMerovantixFichero" << true;
}

void TstLonCli::generate() {
    QFETCH(QString, change);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QFETCH(bool, file);
    TestHome home;
    LonFixture f = goodProject();
    if (change == "subnet") {
        f.addressing = 1;
        f.devices[0].subnet = "300";
    }
    if (change == "noInputs")
        for (QStringList& row : f.rows)
            if (row[0] == "2" && row[1] != "-1") row[16] = "0-No";
    if (change == "noIni") {
        f.writeIni = false;
        f.rows[0][16] = "0-No";  // not even the gateway's own error point
    }
    if (change == "noDat") f.writeDat = false;
    // Without devices only the gateway's own rows can be points.
    if (change.startsWith("ndevs")) f.keys << QStringList{"LON", "NDevs", change.mid(5)};
    if (change == "ndevs100000")  // 128 devices then, all in use
        for (int n = 3; n <= 128; ++n) f.keys << QStringList{"LON", QStringLiteral("D%1-On").arg(n), "1"};
    if (change == "dataType") f.rows[6][5] = "9";
    const QString dir = home.file("P");
    writeLonFixture(dir, f);
    if (change == "garbage") {  // every key of both sections unreadable: only the gateway's own point remains
        QByteArray ini;
        for (const QByteArray& line : lonIniBytes(f).split('\n'))
            ini += line.contains('=') ? line.left(line.indexOf('=') + 1) + "\xff#x%\r\n" : line + '\n';
        writeAll(dir + "/LON.ini", ini);
    }
    const Run r = pilmora(home.path(), {"generate", dir, "--at", kAt});
    QCOMPARE(r.code, code);
    QVERIFY2((r.out + r.err).contains(Texto(expected)), qPrintable(r.out + r.err));
    QCOMPARE(QFile::exists(dir + "/LON.Plmx"), file);
    if (change.isEmpty()) QVERIFY(r.err.contains("Devs:2  LON-> Tot:12 R:"));
    if (change == "ndevs0") QVERIFY(r.err.contains("Devs:0  LON-> Tot:1 R:0 W:0 RW:0"));
    if (change == "ndevs100000") QVERIFY(r.err.contains(Texto("NoSenyalesEntradaDispositivo") + "3"));
}

void TstLonCli::generateTwiceIdentical() {
    TestHome home;
    const QString dir = home.file("P");
    writeLonFixture(dir, largeLonFixture(128, 4000, "B-Extended", "V.43.1.x"));
    const Run a = pilmora(home.path(), {"generate", dir, "--at", kAt});
    QCOMPARE(a.code, 0);
    const QByteArray first = readAll(dir + "/LON.Plmx");
    const Run b = pilmora(home.path(), {"generate", dir, "--at=" + kAt});
    QCOMPARE(b.code, 0);
    QCOMPARE(readAll(dir + "/LON.Plmx"), first);
    QVERIFY(first.mid(4, 46).endsWith(kAt.toLatin1()));
    QCOMPARE(a.err, b.err);
    QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 4);  // Project.ini, LON.ini, LON.dat, LON.Plmx
    const Run c = pilmora(home.path(), {"check", dir});
    QCOMPARE(c.code, 0);
}

QTEST_GUILESS_MAIN(TstLonCli)
#include "tst_loncli.moc"
