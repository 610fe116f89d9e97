// The monitor signal list from real project files, its values, the viewer, and `pilmora poll` on loopback.
#include <QtTest>

#include "AppGlobals.h"
#include "Checkout.h"
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
    qint64 now = 100000;  // the pass's clock, ms (not 0: a deadline is then not its own distance)
    Viewer() {
        transmite = [this](const QString& t) { sent << t; }, Datos_Carga();
        sondeo.reloj = [this] { return now; };
    }
};

// A report from the gateway as the link hands it to the list.
bool report(const QString& key, const QString& text) {
    static SenyalesSink sink;
    QString note;
    return sink.setValue(key, text, &note);
}

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

}  // namespace

class TstMonitorList : public QObject {
    Q_OBJECT
private slots:
    void lon_data() {
        const auto row = addColumns<QList<bool>, QVector<QStringList>, QStringList>("devices", "rows",
                                                                                    "expected");  // devices 1.. on/off
        const QVector<QStringList> mixed{lonErrorRow(0, 100), lonPointRow(1, 105, 0, "R", 7),
                                         lonPointRow(2, 105, 1, "W", 8), lonPointRow(1, 105, 2, "RW", 9, false)};
        row("device 2 off, inactive row out, device 0 in", QList<bool>{true, false}, mixed,
            QStringList{"0/100/0", "1/7/0", "AD0007=2", "AD0100=1"});
        row("no device on: not even device 0", QList<bool>{false, false}, mixed, QStringList());
        row("no device count stored, device 1 on: none", QList<bool>{true}, mixed, QStringList());
        row("repeated address keeps the first", QList<bool>{true},
            QVector<QStringList>{lonPointRow(1, 105, 0, "R", 7), lonPointRow(1, 105, 1, "W", 7)},
            QStringList{"1/7/0", "1/7/1", "AD0007=1"});
        QVector<QStringList> dirs{lonPointRow(1, 105, 0, "RW", 12345), lonPointRow(1, 105, 1, "R", 2),
                                  lonPointRow(1, 105, 2, "R", 3), lonPointRow(1, 105, 3, "W", 4)};
        dirs[1][13] = "", dirs[2][13] = "x";
        row("directions RW, empty, other; five digits", QList<bool>{true}, dirs,
            QStringList{"1/12345/2", "1/2/2", "1/3/2", "1/4/1", "AD0002=2", "AD0003=3", "AD0004=4", "AD12345=1"});
    }

    void lon() {
        auto [devices, rows, expected] =
            fetch<QList<bool>, QVector<QStringList>, QStringList>("devices", "rows", "expected");
        TestHome home(false);
        QVERIFY(loadLonSignals(home.projectsRoot() + "/L", rows, devices));
        const QString ini = home.projectsRoot() + "/L/LON.ini";
        if (QTest::currentDataTag() == QString("no device count stored, device 1 on: none"))
            writeAll(ini, readAll(ini).replace("NDevs=1\r\n", "")), Carga_DatosMFAPilmora("LON");
        QCOMPARE(listed(), expected);
        QCOMPARE(listaSenyales().Senyales.size(), listaSenyales().NumSenyales + 1);
    }

    void writeFrame_data() {
        // Signal type ("R": analog, read only), the user's answer -> the frame sent (none: nothing sent).
        QTest::addColumn<QString>("run");
        QTest::newRow("comma accepted, point sent") << "0 12,5 -> AD0007=12.50";
        QTest::newRow("no leading zero") << "0 0.5 -> AD0007=.50";
        QTest::newRow("negative") << "0 -0,25 -> AD0007=-.25";
        QTest::newRow("digital non-zero") << "1 3 -> AD0007=1";
        QTest::newRow("digital zero") << "1 0 -> AD0007=0";
        QTest::newRow("empty answer") << "0  -> ";
        QTest::newRow("other type") << "2 1 -> ";
        QTest::newRow("typo: refused, never 0") << "0 12,5x -> ";
        QTest::newRow("text: refused") << "1 on -> ";
        QTest::newRow("second comma: refused") << "0 1,2,3 -> ";
        QTest::newRow("beyond the value's range: refused") << "0 1e300 -> ";
        QTest::newRow("exponent and hexadecimal taken") << "0 &H1F -> AD0007=31.00";
        QTest::newRow("exponent in small letters") << "0 25e-1 -> AD0007=2.50";
        QTest::newRow("read-only signal: refused") << "R 5 -> ";
    }

    void writeFrame() {
        QFETCH(QString, run);
        TestHome home(false);
        const QString type = run.section(' ', 0, 0);
        QVERIFY(loadLonSignals(home.projectsRoot() + "/L",
                               {lonPointRow(1, 105, 0, type == "R" ? "R" : "W", 7), lonPointRow(1, 105, 1, "R", 8)}));
        listaSenyales().Senyales[1].TipoSenyal = qint16(type.toInt());
        Viewer v;
        const QString sent = run.section(" -> ", 1);
        QCOMPARE(v.escribe(1, run.section(' ', 1, 1)) == VisorSenyales::Escritura::Enviada, !sent.isEmpty());
        QCOMPARE(v.sent.join(""), sent);
        // Shown as sent, not as the gateway's, until it reports.
        const QString shown = sent.isEmpty() ? QString() : Texto("MonitorEnviado") + sent.section('=', 1);
        QCOMPARE(v.grid.TextMatrix(1, v.colValor), shown);
        QCOMPARE(v.marcaCelda(1, v.colValor), sent.isEmpty() ? 0 : VisorSenyales::kPendiente);
        QVERIFY(report("AD0007", "4") && report("AD0008", "9"));
        v.refrescaFilas(1, 1);  // that row only: the rest wait for their pass
        QCOMPARE(v.grid.TextMatrix(1, v.colValor) + "|" + v.grid.TextMatrix(2, v.colValor), QString("4|"));
        v.Datos_Carga();  // built again: every row shows its value at once
        QCOMPARE(v.grid.TextMatrix(1, v.colValor) + "|" + v.grid.TextMatrix(2, v.colValor), QString("4|9"));
    }

    // The viewer's column widths at 7 px a character: with no room given (the natural width) the description as wide as
    // it reads; short of room, at least 200 px or half the room; with room to spare, all that the others leave.
    void columnWidths() {
        TestHome home(false);
        QStringList r = lonPointRow(1, 105, 0, "R", 7);
        r[11] = QString(60, 'd');
        QVERIFY(loadLonSignals(home.projectsRoot() + "/L", {r}));
        Viewer v;
        QStringList got;
        for (int room : {0, 1, 600, 5000}) {
            const QVector<int> w = v.anchosColumnas([](const QString& t, int) { return 7 * int(t.size()); }, room);
            got << (std::accumulate(w.begin(), w.end(), 0) == room ? "fills" : QString::number(w[v.colDescripcion]));
        }
        QCOMPARE(got, QStringList({"434", "200", "300", "fills"}));
    }

    void values_data() {
        // The gateway's text after "=" -> as the viewer and `pilmora poll` show it ("!" for not valid).
        const auto row = addColumns<QString, QString>("text", "shown");
        row("number", "12.345678", "12.3457");
        row("blanks, sign, exponent", " -3.25E2 ", "-325");
        row("fraction only", ".5", "0.5");
        row("hexadecimal", "&H1F", "31");
        row("hexadecimal, small letters", "&h1f", "31");
        row("hexadecimal, 16 digits", "&H000000000000001F", "31");
        row("exponent, small letters", "2.5e+1", "25");
        for (const char* bad :
             {"ERR", "", "12,5x", "&HZZ", "NaN", "1e", "1e300", "1e999"})  // beyond what a value holds
            row(qPrintable(QString("not valid: ") + bad), bad, QString("!") + bad);
        row("control characters and DEL shown as ?", QString("a\x01z\x7f") + QChar(0x1f), "!a?z??");
        row("10,000 digits: shown cut, not 0", QString(10000, '1'), "!" + QString(64, '1') + "...");
        row("64 characters: shown whole", QString(63, '1') + "x", "!" + QString(63, '1') + "x");
        row("65 characters: cut", QString(64, '1') + "x", "!" + QString(64, '1') + "...");
    }

    void values() {
        auto [text, shown] = fetch<QString, QString>("text", "shown");
        TestHome home(false);
        QVERIFY(loadLonSignals(home.projectsRoot() + "/L", {lonPointRow(1, 105, 0, "R", 7)}));
        TendenciaSenyales trend({1});
        listaSenyales().alInformar = [&](qint32 i) { trend.informe(i); };
        QVERIFY(report("AD0007", text));
        listaSenyales().alInformar = nullptr;
        const Senyal& s = listaSenyales().Senyales[1];
        QCOMPARE(textoMostrado(s).replace(Texto("MonitorNoValido"), "!"), shown);
        // Not valid: no value to show, none in the trend, and 0 is never made of it.
        const bool valid = !shown.startsWith('!');
        QCOMPARE(s.Valido && s.HayValor, valid);
        QCOMPARE(trend.series()[0].puntos.size(), qsizetype(valid));
        QVERIFY(valid || (textoValor(s).isEmpty() && s.Valor == 0 && s.TextoInforme.size() <= kMaxTextoInforme));
        Viewer v;
        QCOMPARE(v.marcaCelda(1, v.colValor), valid ? 0 : VisorSenyales::kAviso);
    }

    void pacing_data() {
        // Signals at addresses 9 7 8 ("single": 9 only). Steps: "p" Refresh (or Stop), "tN" N ms pass, "aN" the gateway
        // reports address N, "off" the link is lost, "echo" from now on each request is answered as it goes out. Each
        // step -> what it sent; at the end the rows marked "no answer".
        const auto row = addColumns<QString, QString>("steps", "expected");
        row("quick gateway: each request after the answer", "p a9 a7 a8",
            "p:AD0009? a9:AD0007? a7:AD0008? a8: | done:");
        row("slow gateway: one request waits at a time", "p t30 a9 t30 a7 t30 a8",
            "p:AD0009? t30: a9:AD0007? t30: a7:AD0008? t30: a8: | done:");
        row("silent gateway: one every 50 ms, then all marked", "p t49 t1 t50 t999 t1",
            "p:AD0009? t49: t1:AD0007? t50:AD0008? t999: t1: | done:9 7 8");
        row("a late answer sends nothing, the awaited one does", "p t50 a9 t20 a7",
            "p:AD0009? t50:AD0007? a9: t20: a7:AD0008? | pass:");
        row("a flood of other reports does not hurry it", "p a1 a2 a8 a1 a9",
            "p:AD0009? a1: a2: a8: a1: a9:AD0007? | pass:");
        row("answered before the closing wait ends", "p a9 t50 t500 a7 a8",
            "p:AD0009? a9:AD0007? t50:AD0008? t500: a7: a8: | done:");
        row("a late answer the last one in: done at once", "p a9 t50 a8 a7",
            "p:AD0009? a9:AD0007? t50:AD0008? a8: a7: | done:");
        row("all but one answered in the closing wait: still waiting", "p a9 t50 t500 a7",
            "p:AD0009? a9:AD0007? t50:AD0008? t500: a7: | pass:");
        row("late answer within the closing wait, one missing", "p a9 t50 t50 a7 t1000",
            "p:AD0009? a9:AD0007? t50:AD0008? t50: a7: t1000: | done:8");
        row("Stop half-way, a new pass begins with the first", "p a9 p a7 p",
            "p:AD0009? a9:AD0007? p: a7: p:AD0009? | pass:");
        row("link lost: the pass ends, nothing marked", "p off t50 t1000", "p:AD0009? off: t50: t1000: | stopped:");
        row("off line: Refresh does nothing", "off p t50", "off: p: t50: | stopped:");
        row("a project of one signal is asked too", "single p a9", "single: p:AD0009? a9: | done:");
        row("a gateway answering within the send: all asked in turn", "echo p",
            "echo: p:AD0009?,AD0007?,AD0008? | done:");
    }

    void pacing() {
        auto [steps, expected] = fetch<QString, QString>("steps", "expected");
        TestHome home(false);
        QVector<QStringList> rows{lonPointRow(1, 105, 0, "R", 9), lonPointRow(1, 105, 1, "R", 7),
                                  lonPointRow(1, 105, 2, "R", 8)};
        QVERIFY(loadLonSignals(home.projectsRoot() + "/L", steps.startsWith("single") ? rows.mid(0, 1) : rows));
        app().ProtEquipo = QStringLiteral("LON"), app().EstadoConexion = 2;
        Viewer v;
        QStringList got;
        for (const QString& step : steps.split(' ')) {
            const qsizetype before = v.sent.size();
            if (step == "p") v.cmdRefrescar();
            if (step == "off") app().EstadoConexion = 1;
            if (step == "echo") v.transmite = [&v](const QString& t) { v.sent << t, report(t.chopped(1), "1"); };
            if (step[0] == 't') v.now += step.mid(1).toInt(), v.sondeo.tick();
            if (step[0] == 'a') report(claveSenyal(step.mid(1).toInt()), "1");
            got << step + ":" + v.sent.mid(before).join(',');
            // While requests remain, the pass's own timer looks again within the longest wait for an answer.
            const QTimer* timer = v.sondeo.findChild<QTimer*>();
            if (v.sondeando() && v.sondeo.enviadas() < v.sondeo.total())
                QVERIFY2(timer->isActive() && timer->interval() <= PollPass::kEsperaMs, qPrintable(step));
        }
        QStringList marked;
        for (int i = 1; i <= listaSenyales().NumSenyales; ++i)
            if (v.sinRespuesta(i)) marked << QString::number(listaSenyales().Senyales[i].Direccion);
        const QString end = v.sondeando() ? "pass" : v.textoSondeo().isEmpty() ? "stopped" : "done";
        QCOMPARE(got.join(' ') + " | " + end + ":" + marked.join(' '), expected);
        // Each row of a signal without an answer says so once the pass ends (rows in the list's order); the help
        // line counts them.
        QString rowsSay, signalsAre;
        for (int r = 1; r < v.grid.Rows(); ++r) {
            rowsSay += v.grid.TextMatrix(r, v.colUltimo) == Texto("MonitorNoContesta") ? '!' : '.';
            signalsAre += v.sinRespuesta(r) ? '!' : '.';
        }
        QCOMPARE(rowsSay, signalsAre);
        if (!marked.isEmpty()) {
            QCOMPARE(v.marcaCelda(3, v.colUltimo), VisorSenyales::kAviso);
            QVERIFY(v.textoSondeo().startsWith(Texto("MonitorPasadaSinRespuesta").section("%1", 0, 0)));
        }
    }

    // Every column of the viewer, for either protocol, has help in the language in use, never a key's name.
    void viewerHelp() {
        TestHome home(false);
        QStringList keys;  // the first field of each line of the language file
        for (const QByteArray& line : readAll(home.file("PilmoraASCII.LNG")).split('\n')) keys << line.split('\t')[0];
        QStringList bare;
        for (const char* protocol : {"LON", "MBS6"}) {
            app().ProtEquipo = protocol;
            Viewer v;
            for (int c = 1; c < v.grid.Cols(); ++c)
                if (v.info[c].Ayuda.isEmpty() || keys.contains(v.info[c].Ayuda)) bare << protocol + v.info[c].Ayuda;
        }
        QCOMPARE(bare.join(" / "), QString());
    }

    void viewer() {
        TestHome home(false);
        QVERIFY(loadLonSignals(
            home.projectsRoot() + "/L",
            {lonPointRow(1, 105, 0, "R", 9), lonPointRow(1, 105, 1, "R", 7), lonPointRow(1, 105, 2, "R", 8)}));
        // Reports land in the list; a signal never reported has no value, not 0.
        SenyalesSink sink;
        const Senyal &a = listaSenyales().Senyales[2], &b = listaSenyales().Senyales[3];
        QVERIFY(!a.HayValor && textoValor(a).isEmpty() && !report(QStringLiteral("AD0006"), "1"));
        QVERIFY(report(QStringLiteral("AD0007"), "12.345678") && report(QStringLiteral("AD0008"), "0"));
        QCOMPARE(textoValor(a) + "|" + textoValor(b), QStringLiteral("12.3457|0"));
        QVERIFY(a.UltimoInforme.isValid());
        sink.clearAll();
        QVERIFY(!a.HayValor && !b.HayValor);
        // An address not in the list: named the first time, then only counted (the viewer's help line shows them).
        QString notes[3];
        sink.setValue(QStringLiteral("AD0005"), "1", &notes[0]);
        for (QString& n : notes) sink.setValue(QStringLiteral("AD0006"), "1", &n);
        QCOMPARE(notes[0] + "|" + notes[1] + "|" + notes[2], Texto("RecibidaSenyalNoExistente") + "AD0005||");
        QCOMPARE(textoDesconocidas(), Texto("MonitorDesconocidas") + "AD0005 (1), AD0006 (4)");
        app().ProtEquipo = QStringLiteral("LON"), app().EstadoConexion = 2;
        Viewer v;
        QVERIFY(v.textoSondeo().endsWith("AD0006 (4)"));
        // Filter on description (any case) or address; the selection and the copy take the shown rows only.
        QStringList shown;
        for (const char* f : {"AD00", "08", "point 7"}) shown << QString::number(v.filtra(f));
        v.grid.setRow(1), v.grid.setRowSel(3);
        QCOMPARE(shown << QString::number(v.seleccionadas().value(0)) << QString::number(v.textoCopia().count('\n')),
                 QStringList({"3", "1", "1", "2", "2"}));
        // A direction without a choice: one box per load, none per refresh; a value beyond the fixed-point
        // range is the gateway's text, not valid, and no box.
        ScriptedPrompts prompts;
        listaSenyales().Senyales[1].Sentido = 5, listaSenyales().Senyales[3].Sentido = 6;
        listaSenyales().Senyales[1].Descripcion += " point 7", report("AD0007", "1e300");
        v.Datos_Carga();  // the list built again, its values shown, the filter ("point 7") applied to it
        QCOMPARE(QList<bool>({v.grid.isRowHidden(1), v.grid.isRowHidden(2), v.grid.isRowHidden(3)}),
                 QList<bool>({false, false, true}));
        QCOMPARE(prompts.texts(), QStringList(Texto("AlgunDatoIncorrecto") + " (2)"));
        QCOMPARE(v.grid.TextMatrix(2, v.colValor) + v.grid.TextMatrix(1, v.colSentido),
                 Texto("MonitorNoValido") + "1e300");
        // MBS6 after LON: its own records only, then any other protocol: nothing left behind.
        Mbs6Fixture m;
        m.units = {2}, m.rows = {mbs6Row(2, 1), mbs6Row(3, 1), mbs6Row(2, 2, false)}, m.rows[0][5] = "0-Ana";
        QVERIFY(writeMbs6Fixture(app().RutaProyecto = home.projectsRoot() + QStringLiteral("/M"), m));
        Carga_DatosMFAPilmora(QStringLiteral("MBS6"));
        QCOMPARE(listed(), QStringList({"2/201/2", "AD0201=1"}));
        const Senyal& s = listaSenyales().Senyales[1];
        const QString fields =
            QString("%1|%2|%3|%4").arg(s.Descripcion).arg(s.Numero).arg(s.TipoSenyal).arg(s.Espontaneo);
        QCOMPARE(fields + s.NombreSNVT + s.AccesoNV, "Unit 2 property 1|1|0|1-Spon");
        Carga_DatosMFAPilmora(QStringLiteral("BACX"));
        QCOMPARE(listed(), QStringList());
        // No signals, not LON: the MBS6 column set, and a copy of captions and one empty row.
        app().ProtEquipo = QStringLiteral("BACX");
        v.filtra(""), v.Datos_Carga();
        QCOMPARE(QList<int>({v.colTipoSenyal, v.colValor}), QList<int>({7, 8}));
        QCOMPARE(v.info[v.colTipoSenyal].Ayuda, Texto("TipoSenyal"));  // the help line under the grid
        const QStringList lines = v.textoCopia().split("\r\n");
        QVERIFY(lines[0].startsWith(Texto("Noo") + "\t" + Texto("Disp") + "\t"));
        QCOMPARE(lines.mid(1), QStringList({QString(v.grid.Cols(), QLatin1Char('\t')), QString()}));
    }

    void trend_data() {
        // Signals 1..10 at addresses 9 7 8 1..7. "rows: steps -> expected": "new" makes the trend of those rows, "s9=5"
        // the gateway reports AD0009=5, "9@0=1" address 9 has 1 at second 0, "cut@s" keeps ten minutes up to s.
        QTest::addColumn<QString>("run");
        QTest::newRow("ten minutes up to the cut, the boundary kept")
            << "1 2: new 9@0=1 9@1=2 7@300=3 8@9=4 9@601=5 cut@601 -> 9:2;5|7:3";
        QTest::newRow("each address once, eight at most") << "1 2 10 3 4 5 6 7 8 9: new -> 9:|7:|8:|1:|2:|3:|4:|5:";
        QTest::newRow("not finite, not drawn") << "1: new 9@0=inf 9@1=nan 9@2=4 -> 9:4";
        QTest::newRow("starts with the value held, then reports") << "1 2: s9=5 s7=6 new s9=7 s8=1 -> 9:5;7|7:6";
        QTest::newRow("a report that is not a number: no point") << "1: s9=ERR new s9=4 s9=x -> 9:4";
        QTest::newRow("a flood keeps the newest points") << "1: new flood -> 9:6000 1..6000";
    }

    void trend() {
        QFETCH(QString, run);
        TestHome home(false);
        QVector<QStringList> table;
        for (int a : {9, 7, 8, 1, 2, 3, 4, 5, 6, 7}) table << lonPointRow(1, 105, int(table.size()), "R", a);
        QVERIFY(loadLonSignals(home.projectsRoot() + "/L", table));
        QScopedPointer<TendenciaSenyales> t;
        listaSenyales().alInformar = [&](qint32 i) { (void)(t && t->informe(i)); };
        const qint64 t0 = 1e12;
        QVector<qint32> rows;
        for (const QString& r : run.section(':', 0, 0).split(' ')) rows << r.toInt();
        for (const QString& step : run.section(": ", 1).section(" -> ", 0, 0).split(' ')) {
            const QStringList p = step.split(QRegularExpression("[@=]"));
            if (step == "new") t.reset(new TendenciaSenyales(rows));
            for (int v = -5; step == "flood" && v <= 6000; ++v) t->registra(9, t0 + v, v);
            if (step.startsWith('s')) report(claveSenyal(p[0].mid(1).toInt()), p[1]);
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

    void poll() {
        TestHome home(false);
        const QString folder = home.projectsRoot() + "/DemoLON", served = home.projectsRoot() + "/Served";
        QVERIFY(copyFolder(QStringLiteral(PILMORA_SOURCE_DIR "/data/demo/DemoLON"), folder) &&
                copyFolder(folder, served));
        if (const QString guard = nonLoopback(folder, "127.0.0.1"); !guard.isEmpty()) qFatal("%s", qPrintable(guard));
        // Four signals only, so the runs are short; the gateway's copy also lacks device 2's error point.
        QString dat = QString::fromLatin1(readAll(folder + "/LON.dat"));
        auto off = [&](const QString& to, const char* addresses) {
            dat.replace(QRegularExpression(QStringLiteral("(\t(%1)\t[RW]+\t[^\r]*)1-Yes").arg(addresses)), "\\10-No");
            return writeAll(to + "/LON.dat", dat.toLatin1());
        };
        QVERIFY(off(folder, "2|3|4|1[0-2]") && off(served, "102"));
        // A verdict given before --record: it stays.
        app().RutaProyecto = folder;
        Carga_DatosMFAPilmora(QStringLiteral("LON"));
        Checkout before;
        QString error;
        QVERIFY(before.carga(kSlotLon, &error) &&
                before.marca(listaSenyales(), {listaSenyales().IndiceSenyales.value("AD0001")}, EstadoCheckout::Fallido,
                             "loose wire", false, &error));
        // Overlapping: every signal once (a gateway slow to answer, and too slow to report unasked), a watch during a
        // flood of reports, a wrong --watch, a pass through a flood of change reports (only the answers printed), a
        // watch on a serial line whose gateway goes before the watch ends.
        GatewaySimProcess slow("udp", {"--project", served, "--tick", "60000", "--answer-delay", "30"}),
            fast("udp", {"--project", folder}), flood("udp", {"--project", folder, "--tick", "10"}),
            gone("pty", {"--project", folder});
        QVERIFY(slow.started() && fast.started() && flood.started() && gone.started());
        const QStringList args[] = {{"--udp", "127.0.0.1:" + QString::number(slow.port()), "--record"},
                                    {"--udp", "127.0.0.1:" + QString::number(fast.port()), "--watch", "3"},
                                    {"--udp", "127.0.0.1:9", "--watch", "x"},
                                    {"--udp", "127.0.0.1:" + QString::number(flood.port())},
                                    {"--serial", gone.device(), "--watch", "3"}};
        QProcess p[5];
        for (int i = 0; i < 5; ++i) {
            p[i].setProcessChannelMode(QProcess::MergedChannels);
            p[i].start(QStringLiteral(PILMORA_BIN_DIR "/pilmora"),
                       QStringList{"--home", home.path(), "poll", folder} + args[i]);
        }
        const QRegularExpression report("\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  AD0001 +Boiler flow temperature");
        QString lost;
        QTRY_VERIFY_WITH_TIMEOUT(report.match(lost += p[4].readAll()).hasMatch(), 30000);
        gone.kill();
        for (QProcess& q : p) QVERIFY(q.state() == QProcess::NotRunning || q.waitForFinished(30000));
        const QString watched = p[1].readAll(), lostEnd = lost + p[4].readAll();
        QVERIFY2(p[1].exitCode() == 0 && report.match(watched).hasMatch() &&
                     !watched.contains(Texto("PilmoraEnlacePerdido")),
                 qPrintable(watched));
        QVERIFY2(p[4].exitCode() == 1 && lostEnd.contains(Texto("PilmoraEnlacePerdido")), qPrintable(lostEnd));
        const QString table = p[0].readAll(), wrong = p[2].readAll(), flooded = p[3].readAll();
        // Only the pass itself is bounded: from its start to the table's first row (a slow run may see reports before
        // the pass begins and after the table).
        const QString pass =
            flooded.mid(flooded.indexOf("Signals to ask for: 4\n")).section(QRegularExpression("\nAD\\d{4} "), 0, 0);
        const qsizetype answers = pass.count(QRegularExpression("^>AD", QRegularExpression::MultilineOption));
        QVERIFY2(p[3].exitCode() == 0 && flooded.contains("Signals to ask for: 4\n") && answers >= 1 && answers <= 4 &&
                     !report.match(flooded).hasMatch(),  // and no watch unless asked for
                 qPrintable(flooded));
        for (const char* s : {"\n>.*Protocol:LON\\.\n", "Signals to ask for: 4\n", "AD0101 +Communication error +0\n",
                              "AD0102 .*\\(no value\\)\n", "without an answer: 1\n"})
            QVERIFY2(QRegularExpression(s).match(table).hasMatch(), qPrintable(table));
        QVERIFY2(p[0].exitCode() == 0 && p[2].exitCode() == 2 && wrong.contains("--watch x\n"), qPrintable(wrong));
        // --record: what answered is "answered" with its value, the verdict and the unanswered stay as they were.
        QVERIFY2(table.contains(Texto("CheckoutContestadas") + "2\n"), qPrintable(table));
        Checkout after;
        QVERIFY(after.carga(kSlotLon, &error));
        QStringList states;
        for (int a : {1, 101, 102}) states << palabraEstado(after.estado(a));
        QCOMPARE(states, QStringList({"failed", "answered", "not checked"}));
        QCOMPARE(after.registro(101)->valor, QString("0"));
    }
};

QTEST_MAIN(TstMonitorList)
#include "tst_monitorlist.moc"
