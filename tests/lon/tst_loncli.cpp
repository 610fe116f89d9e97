// The pilmora command-line tool as a real process: usage and exit codes, check
// and generate on good and broken projects, repeatable output with --at.
#include <QtNetwork>
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

LonFixture goodProject() { return largeLonFixture(2, 12, "A-Basic", "V.43.1.x"); }
}  // namespace

class TstLonCli : public QObject {
    Q_OBJECT
private slots:

    void usage_data() {
        lonColumns<QStringList, int>("args", "code");
        QTest::newRow("--help") << QStringList{"--help"} << 0;
        QTest::newRow("nothing") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"compile", "P"} << 2;
        QTest::newRow("no project") << QStringList{"check"} << 2;
        QTest::newRow("two projects") << QStringList{"check", "P", "Q"} << 2;
        QTest::newRow("unknown option") << QStringList{"check", "P", "--fast"} << 2;
        QTest::newRow("--at not a date") << QStringList{"generate", "P", "--at", "yesterday"} << 2;
        QTest::newRow("--at without value") << QStringList{"generate", "P", "--at"} << 2;
        QTest::newRow("--at with check") << QStringList{"check", "P", "--at", kAt} << 2;
        QTest::newRow("--prefix with check") << QStringList{"check", "P", "--prefix"} << 2;
        QTest::newRow("--node-object with generate") << QStringList{"generate", "P", "--node-object"} << 2;
        QTest::newRow("no language file") << QStringList{"check", "P"} << 1;
    }

    void usage() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        TestHome home;
        QDir().mkpath(home.file("empty"));
        writeLonFixture(home.file("P"), goodProject());
        for (QString& a : args)
            if (a == "P") a = home.file("P");
        const Run r = pilmora(code == 1 ? home.file("empty") : home.path(), args);
        QCOMPARE(r.code, code);
        if (code == 0) {
            QVERIFY(r.out.contains("pilmora [--home DIR] check PROJECT_DIR"));
            QVERIFY(r.out.contains("generate PROJECT_DIR [--at \"yyyy/mm/dd hh:nn:ss\"]"));
            QVERIFY(r.out.contains(Texto("PilmoraUso")) && r.out.contains(Texto("PilmoraAyudaGenerate")));
        }
        if (code == 2) QVERIFY(r.err.contains(Texto("PilmoraErrorUso")) && r.err.contains(Texto("PilmoraUso")));
        QVERIFY(!QFile::exists(home.file("P/LON.Plmx")));
    }

    void run_data() {
        lonColumns<QString, QString, int, QString, QString, bool>("command", "change", "code", "expected", "also",
                                                                  "file");
        auto row = [](const char* name, const char* command, const char* change, int code, const char* expected,
                      const QString& also = QString(), bool file = false) {
            QTest::newRow(name) << command << change << code << expected << also << file;
        };
        row("check good", "check", "", 0, "ComprobacionCorrecta");
        row("check repeated address", "check", "repeat", 1, "repetida", "@PosicionCelda|7, 13");
        row("check no signal table", "check", "noDat", 1, "NoSeEncuentraFicheroConf");
        row("check empty rows removed", "check", "emptyRows", 0, "ComprobacionCorrecta");
        row("check other protocol", "check", "tester", 1, "ProtocoloNoSoportado", "@ProtocoloNoSoportado|Tester");
        row("check no such folder", "check", "noFolder", 1, "ProyectoNoEncontrado");
        row("generate good", "generate", "", 0, "AhoraPuedeEnviaraMerovantixFichero", "Devs:2  LON-> Tot:12 R:", true);
        row("generate device subnet above 255", "generate", "subnet", 1, "ErrorAlGenerarFichero", "", true);
        row("generate device without readable rows", "generate", "noInputs", 1, "NoSenyalesEntradaDispositivo");
        row("generate no LON.ini: nothing in use", "generate", "noIni", 1, "NoEncontradoSenyales");
        row("generate NDevs 0", "generate", "ndevs0", 0, "AhoraPuedeEnviaraMerovantixFichero",
            "Devs:0  LON-> Tot:1 R:0 W:0 RW:0", true);
        row("generate NDevs 100000", "generate", "ndevs100000", 1, "NoSenyalesEntradaDispositivo",
            "@NoSenyalesEntradaDispositivo|3");
        row("generate garbage in every key", "generate", "garbage", 0, "AhoraPuedeEnviaraMerovantixFichero", "", true);
    }

    void run() {
        QFETCH(QString, command);
        QFETCH(QString, change);
        QFETCH(int, code);
        QFETCH(QString, expected);
        QFETCH(QString, also);
        QFETCH(bool, file);
        TestHome home;
        LonFixture f = goodProject();
        if (change == "repeat") f.rows[6][12] = f.rows[5][12];
        if (change == "noDat") f.writeDat = false;
        if (change == "emptyRows") f.rows.insert(4, QStringList(17, QString()));
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
        if (change.startsWith("ndevs")) f.keys << QStringList{"LON", "NDevs", change.mid(5)};
        if (change == "ndevs100000")  // 128 devices then, all in use
            for (int n = 3; n <= 128; ++n) f.keys << QStringList{"LON", QStringLiteral("D%1-On").arg(n), "1"};
        const QString dir = home.file("P");
        writeLonFixture(dir, f);
        if (change == "garbage") {  // every key of both sections unreadable: only the gateway's own point remains
            QByteArray ini;
            for (const QByteArray& line : lonIniBytes(f).split('\n'))
                ini += line.contains('=') ? line.left(line.indexOf('=') + 1) + "\xff#x%\r\n" : line + '\n';
            writeAll(dir + "/LON.ini", ini);
        }
        if (change == "tester") writeAll(dir + "/Project.ini", "[Project]\r\nProt=Tester\r\n");
        QStringList args{command, change == "noFolder" ? home.file("nowhere") : dir};
        if (command == "generate") args << "--at=" + kAt;
        const Run r = pilmora(home.path(), args);
        QCOMPARE(r.code, code);
        if (!expected.isEmpty()) QVERIFY2((r.out + r.err).contains(Texto(expected)), qPrintable(r.out + r.err));
        if (also.startsWith('@')) also = Texto(also.section('|', 0, 0).mid(1)) + also.section('|', 1);
        QVERIFY2((code == 0 ? r.out : r.err).contains(also), qPrintable(r.out + "|" + r.err));
        if (code != 0) QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
        QCOMPARE(QFile::exists(dir + "/LON.Plmx"), file);
        if (file) QVERIFY(readAll(dir + "/LON.Plmx").mid(4, 46).endsWith(kAt.toLatin1()));
    }

    void commandLine() {
        TestHome home;
        LonFixture f = largeLonFixture(3, 2, "A-Basic", "V.43.1.x");
        QVERIFY(writeLonFixture(home.file("P"), f));
        const QByteArray ini = readAll(home.file("P/LON.ini"));
        auto run = [&](const QStringList& args) {
            QProcess p;
            p.start(PILMORA_BIN_DIR "/pilmora",
                    QStringList{"--home", home.path(), "import-xif", home.file("P")} + args);
            p.waitForFinished(30000);
            return qMakePair(p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()));
        };
        const QString cover = testData("xif/cover.XIF");
        QCOMPARE(run({cover, "--devices", "2-4"}).first, 1);  // three devices only
        QCOMPARE(run({"--devices", "x", cover}).first, 2);
        QCOMPARE(run({cover, home.file("none.xif")}).first, 1);
        const auto ok = run({cover, testData("xif/SC100MP.XIF"), testData("xif/astroClock.xif"), "--devices", "2-3",
                             "--prefix", "--node-object"});
        QCOMPARE(ok.first, 0);
        QVERIFY(ok.second.contains("New points:" + QString::number(2 * (27 + 35 + 34))));
        const QString dat = QString::fromLatin1(readAll(home.file("P/LON.dat")));
        const QString tail = "\t\t%1\t%2\t1-Spon\t" + Texto("0-No") + "\t\r\n";
        for (const QString& row :
             {"\t2\t92\tSNVT_obj_request.object_id\t0\t0\t3-16bit unsig\t1\t0\t0\t0\tW\tD2.nviRequest.object_id" +
                  tail.arg("W", Texto("0-Ana")),
              "\t3\t107\tSNVT_time_sec\t10\t0\t3-16bit unsig\t1\t-1\t0\t0\tW\tD3.cpTimeHb" +
                  tail.arg("W", Texto("0-Ana")),
              "\t3\t95\tSNVT_switch.value\t18\t0\t1-8bit unsig\t5\t-1\t0\t0\tR\tD3.nvoDI_4.value" +
                  tail.arg("R", Texto("1-Dig"))})
            QVERIFY2(dat.contains(row), qPrintable(row));
        QCOMPARE(readAll(home.file("P/LON.ini")), ini);
    }

    void pollWithoutAnswer() {
        TestHome home;
        writeLonFixture(home.file("P"), goodProject());
        QUdpSocket silent;
        QVERIFY(silent.bind(QHostAddress::LocalHost, 0));
        const Run r = pilmora(home.path(), {"poll", home.file("P"), "--udp",
                                            "127.0.0.1:" + QString::number(silent.localPort()), "--timeout", "1"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(Texto("PilmoraSinRespuesta") + "1 s"), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TstLonCli)
#include "tst_loncli.moc"
