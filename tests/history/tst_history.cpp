// Download files read back and compared, and the download history of sends to the simulated gateway (127.0.0.1).
#include <QtTest>
#include <QtWidgets>

#include "AppGlobals.h"
#include "DownloadHistory.h"
#include "DownloadInspect.h"
#include "DownloadWriter.h"
#include "FolderRights.h"
#include "GatewayLink.h"
#include "GatewaySimProcess.h"
#include "LonFixtures.h"
#include "Mbs6Fixtures.h"
#include "ModulINI.h"
#include "TestSupport.h"
#include "WidgetState.h"
#include "fDiferencias.h"
#include "fHistorial.h"
#include "mIdioma.h"

namespace {
const QString kNv = QStringLiteral(
    " kind=nv nvIndex=%1 offset=0 dataType=2 a=1 b=0 c=0 filter=0 snvt=105 direction=%2 "
    "spontaneous=1 ad=0");

// Three devices (the third off); points of devices 1 and 2, their error rows, the gateway's, an inactive row and
// a row of the unused device. `change` alters one thing: "point", "device", "baud".
LonFixture lonProject(const QString& firmware, int addressing, const QString& change = QString()) {
    LonFixture f;
    f.firmware = firmware;
    f.addressing = addressing;
    f.devices = {{true, "0102030405A6", "1", "", "A"}, {true, "0A0B", "2", "7", "B"}, {false, "0C", "3", "", "C"}};
    if (change == QLatin1String("device")) f.devices[1].nid = QStringLiteral("0A0C"), f.devices[1].node = "8";
    if (change == QLatin1String("third")) f.devices[2].on = true, f.devices[2].node = "9";
    if (change == QLatin1String("baud")) f.keys << QStringList{"ASCII", "Baudios", "6 (38400)"};
    if (change == QLatin1String("nodevices")) f.devices.clear();  // only the gateway's own error point
    if (change == QLatin1String("firmware")) f.firmware = QStringLiteral("V.3.1.0");  // no TCP/IP block
    f.rows = {lonPointRow(1, 105, 3, "R", 101),
              lonPointRow(2, 105, 4, "RW", 102),
              lonPointRow(1, 105, 5, "W", 103),
              lonErrorRow(1, 110),
              lonErrorRow(0, 120),
              lonPointRow(1, 105, 6, "R", 104, false),
              lonPointRow(3, 105, 7, "R", 105)};
    if (change == QLatin1String("point")) f.rows[2][4] = QStringLiteral("2");  // offset of 103
    if (change == QLatin1String("moved")) f.rows[2] = lonPointRow(1, 105, 5, "W", 106);
    if (change == QLatin1String("error"))  // device 2 keeps a readable point
        f.rows[1] = lonErrorRow(2, 102), f.rows << lonPointRow(2, 105, 4, "R", 106);
    return f;
}

// The fixed table, active only where named; unit 4 is not in use.
Mbs6Fixture roundTripMbs6() {
    Mbs6Fixture f = fullMbs6Fixture();
    f.units = {3, 5};
    const QStringList on{"0 2", "0 9", "3 1", "4 1", "5 12"};
    for (QStringList& row : f.rows) row[7] = on.contains(row[0] + ' ' + row[1]) ? "1-Yes" : "0-No";
    return f;
}

QByteArray generated(const QString& folder) {
    QByteArray bytes;
    QString message;
    return composeProjectDownload(folder, &bytes, &message) ? bytes : message.toUtf8();
}

QStringList decodedLines(const DecodedDownload& d) {
    QStringList lines;
    for (const DecodedBlock& b : d.blocks)
        for (const DecodedField& f : b.fields) lines << b.name + '.' + f.name + '=' + f.value;
    for (const DecodedDevice& dev : d.devices)
        lines << QStringLiteral("dev %1 %2 %3").arg(dev.position).arg(dev.address).arg(dev.errorPoint);
    for (const DecodedPoint& p : d.points) lines << pointLine(p);
    return lines;
}
}  // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    // decode(generate(project)) gives back every active point of a selected device and every setting.
    void roundTrip_data() {
        const auto row = addColumns<QString, QStringList>("kind", "expected");
        const QStringList lonPoints{QStringLiteral("101 device=1") + kNv.arg(3).arg("R"),
                                    QStringLiteral("102 device=2") + kNv.arg(4).arg("RW"),
                                    QStringLiteral("103 device=1") + kNv.arg(5).arg("W"),
                                    "110 device=1 kind=device-error direction=R spontaneous=1 ad=1",
                                    "120 device=0 kind=gateway-error direction=R spontaneous=1 ad=1"};
        row("LON V.3.1.0, Neuron ID", "lon-v3-nid",
            QStringList{"header.marker=V.1.0", "serial.baud=9600", "lon.addressing=0", "lon.domainId=0A0000000000",
                        "lon.gatewayErrorPoint=120", "dev 1 NID 0102030405A6 110", "dev 2 NID 0A0B00000000 -1"} +
                lonPoints);
        row("LON V.43.1.x, subnet/node", "lon-v43-sn",
            QStringList{"header.marker=V.2.0", "lon.addressing=1", "lon.pollTimeout=100", "lon.lonRetries=3",
                        "dev 1 subnet 1 node 1 110", "dev 2 subnet 2 node 7 -1", "tcpip.ip=127.0.0.1",
                        "tcpip.netMask=255.0.0.0", "tcpip.gateway=", "tcpip.port=5000", "tcpip.keepAlive=30"} +
                lonPoints);
        row("LON V.43.1.x, NUL in an address text", "lon-v43-sn-nul",
            QStringList{"tcpip.ip=127.0.0.1", "tcpip.gateway=10.0.0.1"} + lonPoints);
        row("MBS6 with broadcast rows", "mbs6",
            QStringList{"header.protocol=MBS6", "bus.busBaud=19200", "bus.pollTimeout=1000", "bus.timeoutInterFrame=10",
                        "dev 1 3 -1", "dev 2 5 -1", "2 device=0 kind=point direction=W spontaneous=1 ad=1",
                        "9 device=0 kind=point direction=W spontaneous=1 ad=0",
                        "301 device=3 kind=point direction=RW spontaneous=1 ad=1",
                        "512 device=5 kind=point direction=R spontaneous=1 ad=0"});
    }
    void roundTrip() {
        auto [kind, expected] = fetch<QString, QStringList>("kind", "expected");
        TestHome home;
        const QString dir = home.projectsRoot() + "/P";
        if (kind == "mbs6") {
            QVERIFY(writeMbs6Fixture(dir, roundTripMbs6()));
        } else {
            QVERIFY(
                writeLonFixture(dir, lonProject(kind.contains("v3") ? "V.3.1.0" : "V.43.1.x", kind.contains("-sn"))));
        }
        QByteArray file = generated(dir);
        if (kind.endsWith("nul")) {
            // A gateway text holding a NUL as the generator writes it (the gateway reads it up to the first NUL).
            DownloadWriter w;
            w.nulText(QString::fromLatin1("10.0.0.1\0x1", 11), 16);
            file.replace(file.size() - 121 + 32, 16, w.bytes());
            quint32 sum = 0;
            for (int i = 4; i < file.size(); ++i) sum += uchar(file[i]);
            file.replace(0, 4, le32(sum));
        }
        const DecodedDownload d = decodeDownload(file);
        QVERIFY2(!d.damaged(), qPrintable(decodeVerdict(d).join('\n')));
        const QStringList lines = decodedLines(d);
        for (const QString& e : expected) QVERIFY2(lines.contains(e), qPrintable(e + "\n--\n" + lines.join('\n')));
        QCOMPARE(d.points.size(), kind == "mbs6" ? 4 : 5);
        QCOMPARE(decodedText(d, "f").count('\n') + 1, 3 + d.blocks.size() + lines.size() + 2);
    }

    // Generating in memory, to compare with the last file sent: what it says when it cannot.
    void composeRefusals_data() {
        const auto row = addColumns<QString, QString>("change", "message");
        row("other protocol", "Tester", "@ProtocoloNoSoportado|Tester");
        row("no protocol", "", "@ProtocoloNoSoportado|-");
        row("LON without its signal table", "LON.dat", "@ProyectoNoEncontrado");
        row("MBS6 without its signal table", "MBS6.dat", "@ProyectoNoEncontrado");
        row("MBS6 poll time beyond its range", "MBS6 poll", "@ErrorAlGenerarFichero");
    }
    void composeRefusals() {
        auto [change, message] = fetch<QString, QString>("change", "message");
        TestHome home;
        ScriptedPrompts prompts;
        const QString dir = home.projectsRoot() + "/P";
        QVERIFY(change.startsWith("MBS6") ? writeMbs6Fixture(dir, fullMbs6Fixture())
                                          : writeLonFixture(dir, lonProject("V.3.1.0", 0)));
        QVERIFY(change == "MBS6 poll" ? iniWrite(dir + "/MBS6.ini", "MBS6", "TimeoutPoll", "40000")
                : change.contains('.')
                    ? QFile::remove(dir + "/" + change)
                    : writeAll(dir + "/Project.ini", "[Project]\r\nProt=" + change.toLatin1() + "\r\n"));
        const QString said = QString::fromUtf8(generated(dir));
        QVERIFY2(said.startsWith(withTexts(message)), qPrintable(said.left(200)));
    }

    // Damage is found and placed, never read past.
    void damaged_data() {
        const auto row = addColumns<int, int, QByteArray, QString>("at", "cut", "bytes", "verdict");
        row("checksum", 0, -1, QByteArray(1, 'x'), "@DecChecksumMal");
        row("cut in the header", 0, 60, QByteArray(), "@DecParado;4: file ends inside the header text");
        row("cut in a variable", 0, 240, QByteArray(), "@DecParado;233: file ends inside variable record 2");
        row("cut in a point", 0, 320, QByteArray(), "@DecParado;317: file ends inside point record 3");
        row("cut after the last variable", 0, 301, QByteArray(), "@DecParado;301: file ends inside the point count");
        row("not a download file", 4, -1, QByteArray("HELLO"), "@DecParado;4: the header does not");
        row("other protocol", 21, -1, QByteArray("XY-"), "@DecParado;21: unknown protocol XY");
        row("no points", 301, -1, QByteArray(2, '\0'), "@DecDanyado;0 points for 5 variable");
        row("point count below 0", 301, -1, QByteArray("\xFF\xFF"), "@DecParado;301: point count -1");
        row("device count", 194, -1, QByteArray("\xC8", 1), "@DecParado;194: device count 200");
        row("more readable slots than slots", 212, -1, QByteArray("\x06", 1),
            "@DecParado;212: slot counts: 6 readable of 5");
        row("MBS6 point with two addresses", 193, -1, QByteArray("\x09", 1),
            "@DecDanyado;point 1 has addresses 2 and 9");
        row("MBS6 point of a unit not listed", 195, -1, QByteArray("\x03", 1),
            "@DecDanyado;point 1 (address 2) names unit position 3 of 2");
        row("slot link", 312, -1, QByteArray("\x09", 1), "@DecDanyado;point 2 (address 102) links to slot 9 of 5");
        row("stray byte", -1, -1, QByteArray("!"), "@DecDanyado;1 bytes after the end at offset 338");
        row("variable of a device not listed", 216, -1, QByteArray("\x05", 1),
            "@DecDanyado;variable 1 belongs to device 6 of 2");
        row("variable of another address", 231, -1, QByteArray("\x09", 1),
            "@DecDanyado;point 1 has address 101, its variable 9");
        // Any one field of an error point's variable slot set (device, NV, offset ... address) is found.
        for (int field : {0, 2, 4, 5, 6, 7, 9, 11, 13, 15})
            row(qPrintable(QString("error slot, byte %1").arg(field)), 216 + 17 * 3 + field, -1, QByteArray("\x01", 1),
                "@DecDanyado;error point 4 (address 110) has a variable that is not zero");
    }
    void damaged() {
        auto [at, cut, bytes, verdict] = fetch<int, int, QByteArray, QString>("at", "cut", "bytes", "verdict");
        TestHome home;
        const QString dir = home.projectsRoot() + "/P";
        const bool mbs6 = QByteArray(QTest::currentDataTag()).startsWith("MBS6");
        QVERIFY(mbs6 ? writeMbs6Fixture(dir, roundTripMbs6()) : writeLonFixture(dir, lonProject("V.3.1.0", 0)));
        QByteArray file = generated(dir);
        QCOMPARE(file.size(), mbs6 ? 223 : 338);
        if (at >= 0) file.replace(at, bytes.size(), bytes);
        if (at < 0) file += bytes;
        if (cut >= 0) file.truncate(cut);
        const DecodedDownload d = decodeDownload(file);
        QVERIFY(d.damaged());
        const QString want = withTexts(verdict);
        QVERIFY2(decodeVerdict(d).join('\n').contains(want), qPrintable(want + "\n--\n" + decodeVerdict(d).join('\n')));
    }

    // `pilmora decode` and `pilmora diff`: outputs and exit status; files that differ in one point (a field, its
    // address, its kind and so the fields it has), one device, one serial setting; a project compared with the
    // last file its history kept.
    void cli_data() {
        const auto row = addColumns<QString, QStringList, int, QString>("change", "args", "code", "out");
        row("decode", "", QStringList{"decode", "A"}, 0, "103 device=1" + kNv.arg(5).arg("W"));
        row("decode --json", "", QStringList{"decode", "A", "--json"}, 0, "\"asciiLink\": 1");
        row("decode, nothing readable", "nodevices", QStringList{"decode", "B"}, 0, "points: 1 readable: 0");
        row("decode damaged", "cut", QStringList{"decode", "B"}, 1, "@DecParado");
        row("decode damaged --json", "cut", QStringList{"decode", "B", "--json"}, 1, "\"complete\": false");
        row("decode usage", "", QStringList{"decode", "A", "B"}, 2, "@PilmoraErrorUso");
        row("decode with an unknown option", "", QStringList{"decode", "A", "--x"}, 2, "@PilmoraErrorUso;--x\n");
        for (const char* missing : {"none", "-"})  // a lone "-" is a name too
            row(missing, "", QStringList{"decode", missing}, 1, "!@NoSeEncuentraFichero");
        row("diff of -", "", QStringList{"diff", "-", "B"}, 3, "!@NoSeEncuentraFichero");
        row("diff of a file alone", "", QStringList{"diff", "-"}, 2, "@PilmoraErrorUso;-\n");
        row("same apart from the date", "", QStringList{"diff", "A", "B"}, 0, "@DifIguales");
        row("one point", "point", QStringList{"diff", "A", "B"}, 1, "~ 103 offset: 0 -> 2\n@DifCambiados;1");
        row("point moved", "moved", QStringList{"diff", "A", "B"}, 1,
            "- 103 device=1" + kNv.arg(5).arg("W") + "\n+ 106 device=1" + kNv.arg(5).arg("W") +
                "\n@DifAnyadidos;1; @DifQuitados;1");
        row("point becomes an error row", "error", QStringList{"diff", "A", "B"}, 1,
            "~ 102 kind: nv -> device-error, nvIndex: 4 -> -, offset: 0 -> -, dataType: 2 -> -, a: 1 -> -, "
            "b: 0 -> -, c: 0 -> -, filter: 0 -> -, snvt: 105 -> -, direction: RW -> R, ad: 0 -> 1\n");
        row("error row becomes a point", "error", QStringList{"diff", "B", "A"}, 1,
            "~ 102 kind: device-error -> nv, direction: R -> RW, ad: 1 -> 0, a: - -> 1, b: - -> 0, c: - -> 0, "
            "dataType: - -> 2, filter: - -> 0, nvIndex: - -> 4, offset: - -> 0, snvt: - -> 105\n");
        row("one device", "device", QStringList{"diff", "A", "B"}, 1,
            "device 2: subnet 2 node 7 errorPoint=-1 -> subnet 2 node 8 errorPoint=-1\n"
            "@DifDispositivos;1");
        // Device lists of unequal length, both ways.
        row("device added", "third", QStringList{"diff", "A", "B"}, 1,
            "device 3: - -> subnet 3 node 9 errorPoint=-1\n");
        row("device removed", "third", QStringList{"diff", "B", "A"}, 1,
            "device 3: subnet 3 node 9 errorPoint=-1 -> -\n");
        row("one serial setting", "baud", QStringList{"diff", "A", "B"}, 1,
            "serial.baud: 9600 -> 38400\n@DifAjustes;serial.baud");
        for (const char* way : {"A B", "B A"})  // settings that only one side has, either side
            row(way, "firmware", QString("diff %1").arg(way).split(' '), 1,
                (way[0] == 'A' ? "tcpip.gateway: \"\" -> -\ntcpip.ip: 127.0.0.1 -> -"
                               : "tcpip.gateway: - -> \"\"\ntcpip.ip: - -> 127.0.0.1"));
        row("damaged side", "cut", QStringList{"diff", "A", "B"}, 3, "@DifDanyado");
        row("usage", "", QStringList{"diff", "A", "B", "C"}, 2, "@PilmoraErrorUso");
        row("project never sent", "", QStringList{"diff", "P"}, 3, "@HistNingunEnvio");
    }
    void cli() {
        auto [change, args, code, out] = fetch<QString, QStringList, int, QString>("change", "args", "code", "out");
        TestHome home;
        const QString dir = home.projectsRoot() + "/P";
        QVERIFY(writeLonFixture(dir, lonProject("V.43.1.x", 1)));
        QVERIFY(writeAll(home.file("A"), generated(dir)));
        if (change.isEmpty() && args[0] == "diff") QTest::qWait(1100);  // another generation date
        QVERIFY(writeLonFixture(dir, lonProject("V.43.1.x", 1, change)));
        QByteArray b = generated(dir);
        if (change == "cut") b.chop(10);
        QVERIFY(writeAll(home.file("B"), b));
        for (QString& a : args) a = a == "P" ? dir : a.size() == 1 && a != "-" ? home.file(a) : a;
        const CliRun run = runPilmora(home.path(), args);
        QVERIFY2(run.code == code, qPrintable(run.out + run.err));
        const bool toErr = code >= 2 || out.startsWith('!');  // "!": said on the error stream
        QVERIFY2((toErr ? run.err : run.out).contains(withTexts(out.mid(out.startsWith('!')))),
                 qPrintable(run.out + run.err));
        if (args.contains("--json")) {  // what a script reads: well formed, every device listed
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8(), &error);
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString() + "\n" + run.out));
            QCOMPARE(doc["devices"].toArray().size(), 2);
            for (const QJsonValue& p : doc["points"].toArray())  // each point with its own fields only
                QCOMPARE(p.toObject().contains("snvt"), p["kind"] == "nv");
            QCOMPARE(run.out.count(QRegularExpression("^(    )*[^ ]", QRegularExpression::MultilineOption)),
                     run.out.count('\n'));  // four blanks a level
        }
    }

    // A send to the simulated gateway leaves one row in History.csv (and after "SUCCES" a copy in history/), the
    // project then compares the same; a folder that cannot be written keeps no history and says so, once.
    void send_data() {
        addColumns<QStringList, int, QString, bool, int>("simArgs", "code", "result", "readOnly", "shown");
        QTest::newRow("SUCCES") << QStringList{} << 0 << "SUCCES" << false << 0;
        QTest::newRow("refused") << QStringList{"--refuse"} << 1 << "REFUSED" << false << 2;
        QTest::newRow("cancelled") << QStringList{"--abort-after", "1"} << 1 << "CANCEL" << false << 1;
        QTest::newRow("read-only project folder") << QStringList{} << 0 << "" << true << -1;
        QTest::newRow("four bytes: the checksum alone") << QStringList{} << 1 << "CANCEL" << false << 1;
    }
    void send() {
        auto [simArgs, code, result, readOnly, shown] =
            fetch<QStringList, int, QString, bool, int>("simArgs", "code", "result", "readOnly", "shown");
        TestHome home;
        const QString dir = home.projectsRoot() + "/P";
        QVERIFY(writeLonFixture(dir, lonProject("V.3.1.0", 0)));
        QCOMPARE(runPilmora(home.path(), {"generate", dir}).code, 0);
        if (QTest::currentDataTag() == QByteArray("four bytes: the checksum alone"))
            QVERIFY(writeAll(dir + "/LON.Plmx", "\x01\x02\x03\x04"));
        GatewaySimProcess sim("udp", simArgs);
        QVERIFY(sim.started());
        const QString to = "127.0.0.1:" + QString::number(sim.port());
        QVERIFY(nonLoopback(dir, "127.0.0.1").isEmpty());
        std::unique_ptr<NoWriteFolder> lock;
        if (readOnly) {
            lock = std::make_unique<NoWriteFolder>(dir);
            if (!lock->active()) QSKIP("the folder cannot be made read-only here");
        }
        const CliRun run = runPilmora(home.path(), {"send", dir, "--udp", to});
        QVERIFY2(run.code == code, qPrintable(run.out + run.err));
        QCOMPARE(run.out.count(Texto("HistNoGuardado")), readOnly ? 1 : 0);
        QVERIFY2(run.out.contains(Texto("ComunicacionPilmora") + ". IP:127.0.0.1"),
                 qPrintable(run.out));  // where it went
        QVector<HistoryRow> rows(1);    // filled afresh
        QVERIFY(readHistory(dir, &rows));
        QCOMPARE(rows.size(), readOnly ? 0 : 1);
        if (readOnly) return;
        const HistoryRow& r = rows[0];
        QCOMPARE(r.result, result);
        QCOMPARE(r.shownCells()[1], Texto("HistResultados").section('|', shown, shown));  // as the window shows it
        QCOMPARE(r.way, "UDP " + to);
        QCOMPARE(r.size, readAll(dir + "/LON.Plmx").size());
        QCOMPARE(r.checksum, QString::number(decodeDownload(readAll(dir + "/LON.Plmx")).storedChecksum, 16).toUpper());
        QVERIFY2(r.gateway.contains("Protocol:LON."), qPrintable(r.gateway));
        QCOMPARE(r.description, QStringLiteral("Test project"));
        QCOMPARE(r.version, QStringLiteral(PILMORA_VERSION));
        QVERIFY(QDateTime::fromString(r.time, Qt::ISODate).isValid() &&
                r.time.contains(QRegularExpression("[+-]\\d\\d:\\d\\d$")));
        QCOMPARE(r.copy.isEmpty(), result != "SUCCES");
        if (!r.copy.isEmpty()) QCOMPARE(readAll(dir + "/" + r.copy), readAll(dir + "/LON.Plmx"));
        QCOMPARE(runPilmora(home.path(), {"diff", dir}).code, result == "SUCCES" ? 0 : 3);
        if (result != "SUCCES" || !QFile::remove(dir + "/LON.dat")) return;  // a project that no longer generates
        const CliRun broken = runPilmora(home.path(), {"diff", dir});
        QVERIFY2(broken.code == 3 && broken.err.contains(Texto("ProyectoNoEncontrado") + dir), qPrintable(broken.err));
    }

    // What `decode --json` writes reads back as the same texts: control characters by their code, the rest as is.
    void jsonTexts() {
        const QString text = QString::fromUtf8("\x01\x0f\x10\x1f\"\\\t\n \u00e9\u20ac\U0001F600");
        DecodedDownload d;
        d.blocks = {{"tcpip", {{"gateway", text, 0}}}};
        const QByteArray json = decodedJson(d, text);
        const QJsonDocument doc = QJsonDocument::fromJson(json);
        QCOMPARE(doc["blocks"]["tcpip"]["gateway"].toString() + "|" + doc["file"].toString(), text + "|" + text);
        QVERIFY(json.contains(R"("\u0001\u000f\u0010\u001f\"\\\t\n )"));  // only what must be is escaped
    }

    // The copy of a file sent is named after the protocol, the time and the checksum
    // its first four bytes hold, low byte first; a row's time carries its offset from UTC, minutes too.
    void copyName() {
        for (int offset : {0, 5 * 3600 + 45 * 60, -(3 * 3600 + 30 * 60)})
            QCOMPARE(isoLocalTime(QDateTime(QDate(2026, 12, 1), QTime(10, 22, 5), Qt::OffsetFromUTC, offset)).mid(19),
                     offset == 0  ? "+00:00"
                     : offset > 0 ? "+05:45"
                                  : "-03:30");
        TestHome home;
        const QString dir = home.projectsRoot() + "/P";
        QVERIFY(QDir().mkpath(dir));
        HistoryRow row;
        row.result = HistoryResult::kSucces;
        QString error;
        const QDateTime at(QDate(2026, 12, 1), QTime(10, 22, 5));
        QVERIFY2(recordSend(dir, row, QByteArray("\x78\x56\x34\x12rest", 8), "LON", at, &error), qPrintable(error));
        QVector<HistoryRow> rows;
        QVERIFY(readHistory(dir, &rows) && rows.size() == 1);
        QCOMPARE(rows[0].copy, QStringLiteral("history/LON-20261201-102205-12345678.Plmx"));
    }

    // The history window: newest first, a failed send marked, every cell whole in its tool tip, the long columns
    // held to a width; no history or one that cannot be read is said in the list's place. The differences window
    // is as wide as its longest line, within the screen.
    void windows_data() {
        QTest::addColumn<QString>("history");  // what the window shows: tests/data/windows/history-*.txt
        for (const char* h : {"rows", "none", "unreadable"}) QTest::newRow(h) << QString(h);
    }
    void windows() {
        const QString history = col<QString>("history");
        TestHome home;
        const QString dir = home.projectsRoot() + "/P";
        QVERIFY(QDir().mkpath(dir));
        QString error;
        for (const char* result : {HistoryResult::kSucces, "REFUSED"}) {
            HistoryRow row;
            row.result = result, row.gateway = QString(300, 'g'), row.time = isoLocalTime(QDateTime::currentDateTime());
            if (history == "rows")
                QVERIFY2(recordSend(dir, row, "\x01\0\0\0\x01", "LON", QDateTime::currentDateTime(), &error),
                         qPrintable(error));
        }
        if (history == "unreadable") QVERIFY(writeAll(historyCsvPath(dir), QByteArray("time\0x", 6)));  // not text
        auto result = [](int n) { return Texto("HistResultados").section('|', n, n); };
        fHistorial w(dir);
        w.show();
        QCOMPARE(windowDiffers(&w, "history-" + history, home.path()), QString());
        QTreeWidget* list = w.lvwHistorial;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            QCOMPARE(item->foreground(1).color() == Qt::darkRed, item->text(1) != result(0));
            for (int c = 0; c < list->columnCount(); ++c) QCOMPARE(item->toolTip(c), item->text(c));
        }
        QTest::mouseClick(w.cmdCerrar, Qt::LeftButton);
        QVERIFY(!w.isVisible() && w.result() == QDialog::Accepted);

        fDiferencias d("short\n" + QString(300, 'w') + "\nshort");  // wider than a wide screen: its size is kept
        QCOMPARE(windowDiffers(&d, "differences"), QString());
    }

    // The send confirmation says what changes against the last file sent, where and when it went; a third
    // button shows the whole difference and asks again; Cancel stays the default.
    void confirmation_data() {
        addColumns<QString, int, QString, QString>("sent", "buttons", "summary", "full");
        QTest::newRow("never sent") << "" << 2 << ""
                                    << "";
        QTest::newRow("one point changed") << "point" << 3 << "UDP 127.0.0.1:40123, 2026-12-01 10:22\r@DifCambiados;1"
                                           << "~ 103 offset: 2 -> 0";
        QTest::newRow("same file") << "same" << 3 << "@DifIguales"
                                   << "@DifIguales";
    }
    void confirmation() {
        auto [sent, buttons, summary, full] =
            fetch<QString, int, QString, QString>("sent", "buttons", "summary", "full");
        TestHome home;
        ScriptedPrompts prompts;
        const QString dir = home.projectsRoot() + "/P";
        QVERIFY(writeLonFixture(dir, lonProject("V.3.1.0", 0, sent == "point" ? "point" : "")));
        const QDateTime at(QDate(2026, 12, 1), QTime(10, 22, 5));
        HistoryRow row;
        row.result = HistoryResult::kSucces, row.way = "UDP 127.0.0.1:40123", row.time = isoLocalTime(at);
        QString error;
        if (!sent.isEmpty()) QVERIFY2(recordSend(dir, row, generated(dir), "LON", at, &error), qPrintable(error));
        QVERIFY(writeLonFixture(dir, lonProject("V.3.1.0", 0)));
        QVERIFY(writeAll(dir + "/LON.Plmx", generated(dir)));
        app().RutaProyecto = dir, app().ProtProyecto = "LON";
        GatewayLink link;
        link.setFichero("LON.PLMX");
        QString viewed;  // the whole difference in the window's text viewer where it has one, else in a box
        if (sent == "point") link.setTextViewer([&](const QString& text) { viewed = text; });
        prompts.queueAnswer(3);
        prompts.queueAnswer(2);
        QVERIFY(!link.askAndSend());
        const auto& shown = prompts.shown();
        QCOMPARE(QPoint(shown.first().buttons, shown.first().defaultButton), QPoint(buttons, 2));
        QCOMPARE(shown.first().text.contains(Texto("HistUltimoEnviado")), !summary.isEmpty());
        QVERIFY2(shown.first().text.contains(withTexts(summary)), qPrintable(shown.first().text));
        QCOMPARE(shown.size(), buttons == 3 ? 3 - (sent == "point") : 1);
        for (const auto& box : shown) QCOMPARE(box.style, 1);  // the question's icon, the difference's box too
        const QString whole = sent == "point" ? viewed : shown.value(1).text;
        if (buttons == 3) QVERIFY2(whole.contains(withTexts(full)), qPrintable(whole));
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
