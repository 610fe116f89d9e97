// The monitor signal list from real project files, its values, the viewer, and `pilmora poll` on loopback.
#include <QtTest>

#include "AppGlobals.h"
#include "GatewaySimProcess.h"
#include "LonFixtures.h"
#include "Mbs6Fixtures.h"
#include "SenyalesMonitor.h"
#include "TendenciaSenyales.h"
#include "TestSupport.h"
#include "VisorSenyales.h"
#include "mIdioma.h"

namespace {
// The viewer on the loaded list, collecting the frames it sends.
struct Viewer : VisorSenyales {
    QStringList sent;
    Viewer() {
        transmite = [this](const QString& t) { sent << t; }, Datos_Carga();
    }
};

// Each record as "device/address/direction", then the index as "key=record".
QStringList listed() {
    const ListaSenyales& l = listaSenyales();
    QStringList out, keys;
    for (const Senyal& x : l.Senyales.mid(1)) out << x.Disp + QString("/%1/%2").arg(x.Direccion).arg(x.Sentido);
    for (auto it = l.IndiceSenyales.begin(); it != l.IndiceSenyales.end(); ++it)
        keys << it.key() + "=" + QString::number(*it);
    keys.sort();
    return out + keys;
}

// A LON project with devices 1.. on or off, made the current one and loaded.
bool loadLon(TestHome& home, const QList<bool>& devices, const QVector<QStringList>& rows) {
    LonFixture f;
    for (bool on : devices)
        f.devices << LonFixtureDevice{on, QString::number(0x14A2C31B0001 + f.devices.size(), 16), "1", {}, {}};
    f.rows = rows;
    app().RutaProyecto = home.projectsRoot() + QStringLiteral("/L");
    return writeLonFixture(app().RutaProyecto, f) && (Carga_DatosMFAPilmora(QStringLiteral("LON")), true);
}
}  // namespace

class TstMonitorList : public QObject {
    Q_OBJECT
private slots:
    void lon_data();
    void lon();
    void writeFrame_data();
    void writeFrame();
    void viewer();
    void trend_data();
    void trend();
    void poll();
};

void TstMonitorList::lon_data() {
    lonColumns<QList<bool>, QVector<QStringList>, QStringList>("devices", "rows", "expected");  // devices 1.. on/off
    const QVector<QStringList> mixed{lonErrorRow(0, 100), lonPointRow(1, 105, 0, "R", 7),
                                     lonPointRow(2, 105, 1, "W", 8), lonPointRow(1, 105, 2, "RW", 9, false)};
    QTest::newRow("device 2 off, inactive row out, device 0 in")
        << QList<bool>{true, false} << mixed << QStringList{"0/100/0", "1/7/0", "AD0007=2", "AD0100=1"};
    QTest::newRow("no device on: not even device 0") << QList<bool>{false, false} << mixed << QStringList();
    QTest::newRow("repeated address keeps the first")
        << QList<bool>{true} << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 7), lonPointRow(1, 105, 1, "W", 7)}
        << QStringList{"1/7/0", "1/7/1", "AD0007=1"};
    QVector<QStringList> dirs{lonPointRow(1, 105, 0, "RW", 12345), lonPointRow(1, 105, 1, "R", 2),
                              lonPointRow(1, 105, 2, "R", 3), lonPointRow(1, 105, 3, "W", 4)};
    dirs[1][13] = "", dirs[2][13] = "x";
    QTest::newRow("directions RW, empty, other; five digits")
        << QList<bool>{true} << dirs
        << QStringList{"1/12345/2", "1/2/2", "1/3/2", "1/4/1", "AD0002=2", "AD0003=3", "AD0004=4", "AD12345=1"};
}

void TstMonitorList::lon() {
    QFETCH(QList<bool>, devices);
    QFETCH(QVector<QStringList>, rows);
    QFETCH(QStringList, expected);
    TestHome home(false);
    QVERIFY(loadLon(home, devices, rows));
    QCOMPARE(listed(), expected);
    QCOMPARE(listaSenyales().Senyales.size(), listaSenyales().NumSenyales + 1);
}

void TstMonitorList::writeFrame_data() {
    QTest::addColumn<QString>("run");  // signal type, the user's answer -> the frame sent (none: nothing sent)
    QTest::newRow("comma accepted, point sent") << "0 12,5 -> AD0007=12.50";
    QTest::newRow("no leading zero") << "0 0.5 -> AD0007=.50";
    QTest::newRow("negative") << "0 -0,25 -> AD0007=-.25";
    QTest::newRow("digital non-zero") << "1 3 -> AD0007=1";
    QTest::newRow("digital zero") << "1 0 -> AD0007=0";
    QTest::newRow("empty answer") << "0  -> ";
    QTest::newRow("other type") << "2 1 -> ";
}

void TstMonitorList::writeFrame() {
    QFETCH(QString, run);
    TestHome home(false);
    QVERIFY(loadLon(home, {true}, {lonPointRow(1, 105, 0, "R", 7)}));
    listaSenyales().Senyales[1].TipoSenyal = qint16(run.section(' ', 0, 0).toInt());
    Viewer v;
    const QString sent = run.section(" -> ", 1);
    QCOMPARE(v.escribe(1, run.section(' ', 1, 1)), !sent.isEmpty());
    QCOMPARE(v.sent.join(""), sent);
}

void TstMonitorList::viewer() {
    TestHome home(false);
    QVERIFY(loadLon(home, {true},
                    {lonPointRow(1, 105, 0, "R", 9), lonPointRow(1, 105, 1, "R", 7), lonPointRow(1, 105, 2, "R", 8)}));
    // Reports land in the list; a signal never reported has no value, not 0.
    SenyalesSink sink;
    const Senyal &a = listaSenyales().Senyales[2], &b = listaSenyales().Senyales[3];
    QVERIFY(!a.HayValor && textoValor(a).isEmpty() && !sink.setValue(QStringLiteral("AD0006"), 1));
    QVERIFY(sink.setValue(QStringLiteral("AD0007"), 12.345678) && sink.setValue(QStringLiteral("AD0008"), 0));
    QCOMPARE(textoValor(a) + "|" + textoValor(b), QStringLiteral("12.3457|0"));
    QVERIFY(a.UltimoInforme.isValid());
    sink.clearAll();
    QVERIFY(!a.HayValor && !b.HayValor);
    app().ProtEquipo = QStringLiteral("LON"), app().EstadoConexion = 2;
    Viewer v;
    // Button presses and ticks: "Stop" half-way leaves the rest unasked, a new start begins again, off line nothing.
    const QString idle = v.captionRefrescar();
    auto press = [&](int ticks) {
        v.cmdRefrescar(), v.sent << v.captionRefrescar();
        while (ticks--) v.tick();
        v.sent << v.captionRefrescar();
    };
    press(1), press(1), press(4), app().EstadoConexion = 1, press(0);
    QCOMPARE(v.sent.replaceInStrings(idle, "-").join(' '), "Stop AD0009? Stop - - Stop AD0009? AD0007? AD0008? - - -");
    // Filter on description (any case) or address; the selection and the copy take the shown rows only.
    QStringList shown;
    for (const char* f : {"AD00", "08", "point 7"}) shown << QString::number(v.filtra(f));
    v.grid.setRow(1), v.grid.setRowSel(3);
    QCOMPARE(shown << QString::number(v.seleccionadas().value(0)) << QString::number(v.textoCopia().count('\n')),
             QStringList({"3", "1", "1", "2", "2"}));
    // A direction without a choice and a value beyond the fixed-point range: one box per load, none per refresh.
    ScriptedPrompts prompts;
    v.filtra(""), listaSenyales().Senyales[1].Sentido = 5, sink.setValue("AD0007", 1e300);
    v.Datos_Carga(), v.refrescaFilas(1, 3);
    QCOMPARE(prompts.texts(), QStringList(Texto("AlgunDatoIncorrecto") + " (2)"));
    QCOMPARE(v.grid.TextMatrix(2, v.colValor) + v.grid.TextMatrix(1, v.colSentido), QString());
    // MBS6 after LON: its own records only, then any other protocol: nothing left behind.
    Mbs6Fixture m;
    m.units = {2}, m.rows = {mbs6Row(2, 1), mbs6Row(3, 1), mbs6Row(2, 2, false)}, m.rows[0][5] = "0-Ana";
    QVERIFY(writeMbs6Fixture(app().RutaProyecto = home.projectsRoot() + QStringLiteral("/M"), m));
    Carga_DatosMFAPilmora(QStringLiteral("MBS6"));
    QCOMPARE(listed(), QStringList({"2/201/2", "AD0201=1"}));
    const Senyal& s = listaSenyales().Senyales[1];
    const QString fields = QString("%1|%2|%3|%4").arg(s.Descripcion).arg(s.Numero).arg(s.TipoSenyal).arg(s.Espontaneo);
    QCOMPARE(fields + s.NombreSNVT + s.AccesoNV, "Unit 2 property 1|1|0|1-Spon");
    Carga_DatosMFAPilmora(QStringLiteral("BACX"));
    QCOMPARE(listed(), QStringList());
    // No signals, not LON: the MBS6 column set, and a copy of captions and one empty row.
    app().ProtEquipo = QStringLiteral("BACX");
    v.Datos_Carga();
    QCOMPARE(QList<int>({v.colTipoSenyal, v.colValor}), QList<int>({7, 8}));
    QCOMPARE(v.info[v.colTipoSenyal].Ayuda, Texto("TipoSenyal"));  // the help line under the grid
    const QStringList lines = v.textoCopia().split("\r\n");
    QVERIFY(lines[0].startsWith(Texto("Noo") + "\t" + Texto("Disp") + "\t"));
    QCOMPARE(lines.mid(1), QStringList({QString(v.grid.Cols(), QLatin1Char('\t')), QString()}));
}

void TstMonitorList::trend_data() {
    // Signals 1..10 at addresses 9 7 8 1..7. "rows: steps -> expected": "new" makes the trend of those rows, "s9=5"
    // the gateway reports AD0009=5, "9@0=1" address 9 has 1 at second 0, "cut@s" keeps ten minutes up to s.
    QTest::addColumn<QString>("run");
    QTest::newRow("ten minutes up to the cut, the boundary kept")
        << "1 2: new 9@0=1 9@1=2 7@300=3 8@9=4 9@601=5 cut@601 -> 9:2;5|7:3";
    QTest::newRow("each address once, eight at most") << "1 2 10 3 4 5 6 7 8 9: new -> 9:|7:|8:|1:|2:|3:|4:|5:";
    QTest::newRow("not finite, not drawn") << "1: new 9@0=inf 9@1=nan 9@2=4 -> 9:4";
    QTest::newRow("starts with the value held, then reports") << "1 2: s9=5 s7=6 new s9=7 s8=1 -> 9:5;7|7:6";
    QTest::newRow("a flood keeps the newest points") << "1: new flood -> 9:6000 1..6000";
}

void TstMonitorList::trend() {
    QFETCH(QString, run);
    TestHome home(false);
    QVector<QStringList> table;
    for (int a : {9, 7, 8, 1, 2, 3, 4, 5, 6, 7}) table << lonPointRow(1, 105, int(table.size()), "R", a);
    QVERIFY(loadLon(home, {true}, table));
    QScopedPointer<TendenciaSenyales> t;
    listaSenyales().alInformar = [&](qint32 i) { (void)(t && t->informe(i)); };
    SenyalesSink sink;
    const qint64 t0 = 1e12;
    QVector<qint32> rows;
    for (const QString& r : run.section(':', 0, 0).split(' ')) rows << r.toInt();
    for (const QString& step : run.section(": ", 1).section(" -> ", 0, 0).split(' ')) {
        const QStringList p = step.split(QRegularExpression("[@=]"));
        if (step == "new") t.reset(new TendenciaSenyales(rows));
        for (int v = -5; step == "flood" && v <= 6000; ++v) t->registra(9, t0 + v, v);
        if (step.startsWith('s')) sink.setValue(claveSenyal(p[0].mid(1).toInt()), p[1].toDouble());
        if (step.startsWith("cut")) t->recorta(t0 + p[1].toLongLong() * 1000);
        if (step[0].isDigit()) t->registra(qint16(p[0].toInt()), t0 + p[1].toLongLong() * 1000, p[2].toDouble());
    }
    listaSenyales().alInformar = nullptr;
    QStringList got;
    for (const TendenciaSenyales::Serie& x : t->series()) {
        QStringList v;
        for (const TendenciaSenyales::Punto& pt : x.puntos) v << QString::number(pt.valor);
        got << QString::number(x.direccion) + ":" +
                   (v.size() > 4 ? QString("%1 %2..%3").arg(v.size()).arg(v[0], v.last()) : v.join(';'));
    }
    QCOMPARE(got.join('|'), run.section(" -> ", 1));
}

void TstMonitorList::poll() {
    TestHome home(false);
    const QString folder = home.projectsRoot() + "/DemoLON", served = home.projectsRoot() + "/Served";
    QVERIFY(copyFolder(QStringLiteral(PILMORA_SOURCE_DIR "/data/demo/DemoLON"), folder) && copyFolder(folder, served));
    if (const QString guard = nonLoopback(folder, "127.0.0.1"); !guard.isEmpty()) qFatal("%s", qPrintable(guard));
    // Four signals only, so the runs are short; the gateway's copy also lacks device 2's error point.
    QString dat = QString::fromLatin1(readAll(folder + "/LON.dat"));
    auto off = [&](const QString& to, const char* addresses) {
        dat.replace(QRegularExpression(QStringLiteral("(\t(%1)\t[RW]+\t[^\r]*)1-Yes").arg(addresses)), "\\10-No");
        return writeAll(to + "/LON.dat", dat.toLatin1());
    };
    QVERIFY(off(folder, "2|3|4|1[0-2]") && off(served, "102"));
    // Overlapping: every signal once (a gateway too slow to report unasked), a watch, a wrong --watch.
    GatewaySimProcess slow("udp", {"--project", served, "--tick", "60000"}), fast("udp", {"--project", folder});
    QVERIFY(slow.started() && fast.started());
    const QStringList args[] = {{"--udp", "127.0.0.1:" + QString::number(slow.port())},
                                {"--udp", "127.0.0.1:" + QString::number(fast.port()), "--watch", "30"},
                                {"--udp", "127.0.0.1:9", "--watch", "x"}};
    QProcess p[3];
    for (int i = 0; i < 3; ++i) {
        p[i].setProcessChannelMode(QProcess::MergedChannels);
        p[i].start(QStringLiteral(PILMORA_BIN_DIR "/pilmora"),
                   QStringList{"--home", home.path(), "poll", folder} + args[i]);
    }
    const QRegularExpression report("\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  AD0001 +Boiler flow temperature");
    QString watched;
    QTRY_VERIFY_WITH_TIMEOUT(report.match(watched += p[1].readAll()).hasMatch(), 30000);
    p[1].kill();
    for (QProcess& q : p) QVERIFY(q.state() == QProcess::NotRunning || q.waitForFinished(30000));
    const QString table = p[0].readAll(), wrong = p[2].readAll();
    for (const char* s : {"Signals to ask for: 4\n", "AD0101 +Communication error +0\n", "AD0102 .*\\(no value\\)\n",
                          "without an answer: 1\n"})
        QVERIFY2(QRegularExpression(s).match(table).hasMatch(), qPrintable(table));
    QVERIFY2(p[0].exitCode() == 0 && p[2].exitCode() == 2 && wrong.contains("--watch x\n"), qPrintable(wrong));
}

QTEST_MAIN(TstMonitorList)
#include "tst_monitorlist.moc"
