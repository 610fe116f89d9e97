// The traffic monitors as a user sees them: lines listed, newest 500 kept, spy switches, copies, the external log;
// and the typical run through the main window against the simulated gateway.
#include <QtCharts>
#include <QtTest>
#include <QtWidgets>

#include "AppGlobals.h"
#include "Checkout.h"
#include "FolderRights.h"
#include "GatewaySimProcess.h"
#include "ListaTramas.h"
#include "LonFixtures.h"
#include "MDIPilmora.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "SenyalesMonitor.h"
#include "SignalGridView.h"
#include "TestSupport.h"
#include "WidgetState.h"
#include "WindowPlacement.h"
#include "fProject.h"
#include "fSignalEditor.h"
#include "fTendencia.h"
#include "fTestA.h"
#include "fTestExterno.h"
#include "fTestPilmora.h"
#include "fVerDatos.h"
#include "mIdioma.h"

class TstMonitors : public QObject {
    Q_OBJECT
private slots:
    void batches_data() {
        QTest::addColumn<QString>("run");  // lines 1.. arrive in these batches -> count first..last listed
        QTest::newRow("501 in one batch") << "501 -> 500 2..501";
        QTest::newRow("500 then 1") << "500 1 -> 500 2..501";
        QTest::newRow("300 then 300") << "300 300 -> 500 101..600";
        QTest::newRow("burst of 10000") << "10000 -> 500 9501..10000";
    }

    void batches() {
        QFETCH(QString, run);
        const QStringList sizes = run.section(" -> ", 0, 0).split(' ');
        ListaTramas l;
        // Every batch announces exactly the rows it removes and inserts.
        QAbstractItemModelTester tester(&l, QAbstractItemModelTester::FailureReportingMode::QtTest);
        int n = 0, rowsSeen = 0;
        connect(&l, &ListaTramas::volcado, this, [&] { rowsSeen = l.rowCount(); });
        QSignalSpy removed(&l, &QAbstractItemModel::rowsRemoved);
        for (const QString& size : sizes) {
            for (int i = 0; i < size.toInt(); ++i) l.agrega(QString::number(++n));
            l.vuelca();
        }
        const QStringList got = l.lineas();
        QCOMPARE(QStringLiteral("%1 %2..%3").arg(got.size()).arg(got.first(), got.last()), run.section(" -> ", 1));
        QCOMPARE(QList<int>({l.lotes(), rowsSeen}), QList<int>({int(sizes.size()), int(got.size())}));  // a batch each
        for (const QList<QVariant>& r : removed) QVERIFY(r[2].toInt() >= r[1].toInt());  // never an empty removal
        QVERIFY(l.linea(l.rowCount()).isEmpty() && l.linea(-1).isEmpty());
        l.agrega(QStringLiteral("late"));  // the queue alone lists lines once its short wait is over
        QTRY_COMPARE_WITH_TIMEOUT(l.linea(l.rowCount() - 1), QStringLiteral("late"), 1000);
        QSignalSpy reset(&l, &QAbstractItemModel::modelAboutToBeReset);
        l.agrega(QStringLiteral("waiting")), l.borra(), l.vuelca();  // a clear, announced before and after, takes
        QCOMPARE(QList<int>({l.rowCount(), int(reset.size())}), QList<int>({0, 1}));  // what waits too
    }

    void windows_data() {
        // "W script => expected", W: P link, A ASCII bus, E external bus. Script: "L x" a line arrives, a box's name
        // clicks it, "copy"/"dcl" double-click the window/first line, "clear" its Clear button. Expected (S/P:
        // START/STOP lines): lines (time "T", "!" log failure said once) ~ spy switches, flag, new chkHora ~ clipboard
        // ~ log (date "D") ~ current row
        const auto row = addColumns<QString>("run");
        row("link: bus off drops, nothing kept", "P L a,chkBus,L b,chkBus,L c,copy => >a|>c~H0~>a\r\n>c\r\n~~1");
        row("link: not following keeps the current line", "P L a,dcl,chkUltimo,L b,L c => >a|>b|>c~H0~old~~0");
        row("link: time in front, remembered", "P chkHora,L a => T >a~H1~~~0");
        row("link: cleared, then the next line", "P L a,L b,clear,L c => >c~H0~~~0");
        row("ascii: lists what arrives, switches its spy", "A L a,chkBus,L b,close => a|b~INT1 INT0 INT0 0 H0~~~-1");
        row("external: spy off lists and logs nothing", "E chkBus,chkLog,L a,dcl => ~EXT1 EXT0 EXT0 0 H0~old~~-1");
        row("external: logged between START and STOP",
            "E L a,chkLog,L b,chkLog,L c,dcl => a|S|b|P|c~EXT1 EXT0 0 H0~a~D S\r\nD b\r\nD P\r\n~0");
        row("external: closing with the log open writes no STOP",
            "E chkLog,L a,close => S|a~EXT1 EXT0 0 H0~~D S\r\nD a\r\n~-1");
        row("external: each batch reaches the log file", "E chkLog,L a,dcl => S|a~EXT1 EXT0 0 H0~S~D S\r\nD a\r\n~0");
        row("external: log that cannot open is said once", "E nofolder,chkLog,L a,L b => !|a|b~EXT1 EXT0 0 H0~~~2");
        row("external: a full disk stops the log, said once",
            "E chkLog,L a,dcl,full,L b,dcl,L c,dcl => S|a|b|!|c~EXT1 EXT0 0 H0~S~D S\r\nD a\r\n~0");
    }

    void windows() {
        QFETCH(QString, run);
        const QString window = run.left(1), script = run.mid(2).section(" => ", 0, 0);
        TestHome home(false);
        app().RutaProyecto = home.projectsRoot(), app().ProtProyecto = QStringLiteral("LON");
        QStringList switched;
        const ControlaBus controla = [&](const QString& bus, bool on) { switched << bus + QString::number(on); };
        QApplication::clipboard()->clear();
        auto make = [&]() -> fMonitorTramas* {
            if (window == "P") return new fTestPilmora;
            return window == "A" ? static_cast<fMonitorTramas*>(new fTestA(controla)) : new fTestExterno(controla);
        };
        QPointer<fMonitorTramas> w = make();
        w->show();
        QStringList listed;
        std::optional<FullDisk> full;
        for (const QString& step : script.split(',')) {
            if (step.startsWith("L ")) {
                if (auto* p = qobject_cast<fTestPilmora*>(w)) p->VerTramas(step.mid(2), ">");
                if (auto* a = qobject_cast<fTestA*>(w)) a->VerTramas(step.mid(2));
                if (auto* e = qobject_cast<fTestExterno*>(w)) e->VerTramas(step.mid(2));
            } else if (auto* box = w->findChild<QCheckBox*>(step)) {
                box->click();
            } else if (step == "full") {
                full.emplace(QFileInfo(app().RutaProyecto + "/LON.log").size());
            } else if (step == "nofolder") {
                app().RutaProyecto += "/missing";
            } else if (step == "copy") {
                QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(1, 1));
            } else if (step == "dcl") {
                w->flush(), QApplication::clipboard()->setText("old");
                const QPoint first = w->lstTramas->visualRect(w->tramas.index(0)).center();
                QTest::mouseClick(w->lstTramas->viewport(), Qt::LeftButton, {}, first);
                QTest::mouseDClick(w->lstTramas->viewport(), Qt::LeftButton, {}, first);
            } else if (step == "clear") {
                w->flush(), w->cmdClear->click();
            } else if (step == "close") {
                w->close();
                QTRY_VERIFY(w.isNull());
            }
            if (w) listed = w->lineas();
        }
        full.reset();
        const int current = w ? w->lstTramas->currentIndex().row() : -1;
        QString log = QString::fromLatin1(readAll(app().RutaProyecto + "/LON.log"));  // the window still open
        delete w.data();
        if (window != "P") switched << QString::number(window == "A" ? app().EspiaInt : app().EspiaExt);
        QStringList calls = switched;  // before the new window switches its own spy
        QScopedPointer<fMonitorTramas> again(make());
        calls << "H" + QString::number(again->chkHora->isChecked());
        QString shown = listed.join('|').replace(QRegularExpression("\\d\\d:\\d\\d:\\d\\d\\.\\d{3} "), "T ");
        for (const char* failed : {"MonitorRegistroNoAbierto", "MonitorRegistroFallo"})  // path and reason
            shown.replace(
                QRegularExpression(QRegularExpression::escape(Texto(failed) + app().RutaProyecto + "/LON.log (") +
                                   "[^|]+\\)"),
                "!");
        log.replace(QRegularExpression("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d "), "D ");
        const QString clip = QApplication::clipboard()->text();
        const QString got = QStringList({shown, calls.join(' '), clip, log, QString::number(current)}).join('~');
        QCOMPARE(QString(got).replace(fTestExterno::kInicioRegistro, "S").replace(fTestExterno::kFinRegistro, "P"),
                 run.section(" => ", 1));
    }

    void placement_data() {
        // "tile WxH count minWidth viewerWidth" or "inside WxH x,y,w,h minW,minH" -> the rectangles "x,y,w,h" given
        const auto row = addColumns<QString>("run");
        row("1024x768: the viewer a row of its own, the monitors two abreast",
            "tile 1024x620 4 420 700 -> 0,0,1024,310 0,310,512,155 512,310,512,155 0,465,1024,155");
        row("wide screen, narrow cells: still its own row",
            "tile 1920x1000 4 420 700 -> 0,0,1920,667 0,667,640,333 640,667,640,333 1280,667,640,333");
        row("room for all: side by side", "tile 1920x1000 2 420 700 -> 0,0,960,1000 960,0,960,1000");
        row("too narrow for two: one above the other", "tile 800x600 2 420 0 -> 0,0,800,300 0,300,800,300");
        row("off the area's corner: moved back in", "inside 1024x620 900,500,467,267 300,100 -> 557,353,467,267");
        row("larger than the area: shrunk to it", "inside 400x300 10,10,467,400 300,100 -> 0,0,400,300");
        row("below its minimum: grown to it", "inside 1024x620 0,0,100,50 300,100 -> 0,0,300,100");
    }

    void placement() {
        QFETCH(QString, run);
        const QStringList a = run.section(" -> ", 0, 0).split(' ');
        const QStringList wh = a[1].split('x');
        const QRect area(0, 0, wh[0].toInt(), wh[1].toInt());
        auto rect = [](const QString& t) {
            const QStringList p = t.split(',');
            return QRect(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt());
        };
        QVector<QRect> got;
        if (a[0] == "tile")
            got = tileRects(area, a[2].toInt(), a[3].toInt(), a[4].toInt());
        else
            got << placeInside(rect(a[2]), QSize(a[3].section(',', 0, 0).toInt(), a[3].section(',', 1).toInt()), area);
        QStringList out;
        for (const QRect& r : got) out << QString("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        QCOMPARE(out.join(' '), run.section(" -> ", 1));
    }

    void typicalRun_data() {
        // Demo project -> signals, the viewer's signal type column, the frame "Edit..." sends for 12,5 to the first
        // signal that is not read only (row 1 is, and refuses), whether every column shows its caption and cells in
        // full
        QTest::addColumn<QString>("run");
        // Then the checkout: the caption's count, the written row's record (address, value written, answer), rows left.
        QTest::newRow("LON") << "DemoLON -> 10 0 <AD0003=12.50 fits 1 / 10 3,12.50,12 9";
        QTest::newRow("MBS6, own set") << "DemoMBS6 -> 10 7:1-Digital <AD0101=1 fits 1 / 10 101,1,1 9";
    }

    // Open the project, generate in its editor, on line, ASCII monitor, viewer, poll, write one signal from the main
    // window's popup. (Sending from the window: the main window's session.)
    void typicalRun() {
        QFETCH(QString, run);
        TestHome home;
        ScriptedPrompts prompts;  // every question answered with its first button: yes, generate; yes, send
        const QString project = run.section(' ', 0, 0), dir = home.projectsRoot() + "/" + project,
                      prot = project.mid(4);
        QVERIFY(copyFolder(PILMORA_SOURCE_DIR "/data/demo/" + project, dir));
        // Steady: a change report crossing the write would otherwise be taken for its echo.
        GatewaySimProcess sim("udp", {"--project", dir, "--protocol", prot, "--steady"});
        QVERIFY(sim.started() && iniWrite(dir + "/" + prot + ".ini", "Console", "UDPConsole", "1") &&
                iniWrite(dir + "/" + prot + ".ini", "Console", "Port", QString::number(sim.port())));
        EscribeIniAplicacion("Configuracion", "LastProject", project);
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        w.show();
        whenModal<fProject>([](fProject* d) { d->cmdSelec->click(); });
        w.mnuAProject->trigger();
        if (const QString guard = nonLoopback(dir, app().IPConexion); !guard.isEmpty()) qFatal("%s", qPrintable(guard));
        int rows = 0;  // the editor opens on the project's table
        whenModal<fSignalEditor>([&rows](fSignalEditor* d) {
            rows = d->gridModel().Rows(), d->findChild<QPushButton*>("cmdPilmora")->click(), d->close();
        });
        w.mnuCProtocolo->trigger();  // "Pilmora" writes the download file
        QVERIFY(rows > 1);
        QTest::mouseClick(w.chkOnline, Qt::LeftButton), w.Timer1_Timer();
        QTRY_COMPARE_WITH_TIMEOUT(int(app().EstadoConexion), 2, 10000);
        QCOMPARE(w.chkOnline->palette().color(QPalette::Button), QColor(Qt::green));  // a gateway that answers
        w.mnuVInterno->trigger();  // View > Bus > ASCII: the gateway's ASCII-side spy lines
        QTRY_VERIFY(w.monitorAscii() && w.monitorAscii()->isVisible() && !w.monitorAscii()->lineas().isEmpty());
        fVerDatos* v = (w.mnuVDatos->trigger(), w.visorDatos());  // View > Data...
        QTest::mouseClick(v->cmdRefrescar, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(v->cmdRefrescar->text(), Texto("cmdRefrescar"), 10000);  // every signal asked once
        const ListaSenyales& l = listaSenyales();
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(l.Senyales.begin() + 1, l.Senyales.end(), [](const Senyal& s) { return s.HayValor; }), 10000);
        QTRY_VERIFY(!v->visor.grid.TextMatrix(1, v->visor.colValor).isEmpty());  // shown by the next display refresh
        QCOMPARE(w.monitorEnlace()->lineas().filter(QRegularExpression("^<AD\\d{4}\\?$")).size(), l.NumSenyales);
        // Row 1 is read only: refused with a message. The first writable row: a typing slip is asked again, never sent.
        const int row =
            int(std::find_if(l.Senyales.begin() + 1, l.Senyales.end(), [](const Senyal& s) { return s.Sentido != 0; }) -
                l.Senyales.begin());
        prompts.queueText("12,5x"), prompts.queueText("12,5");
        for (int r : {1, row}) {
            emit v->grid->cellRightClicked(r, 1, QPoint());
            QTRY_VERIFY(w.popmnuRefresh->isVisible());
            w.mnuEdit->trigger();
            w.popmnuRefresh->hide();
        }
        QCOMPARE(prompts.texts().filter(Texto("MonitorSoloLectura") + "AD0100 ").size(), 1);
        QCOMPARE(prompts.texts().filter(Texto("MonitorNoEsNumero") + "12,5x").size(), 1);
        const int ad = v->visor.colTipoSenyal;  // the signal type column, and what its first row shows
        QString got =
            QString("%1 %2%3 ").arg(l.NumSenyales).arg(ad).arg(ad ? ":" + v->visor.grid.TextMatrix(1, ad) : "") +
            w.monitorEnlace()->lineas().filter(QRegularExpression("^<AD\\d{4}=")).join(' ');
        // Each column at least as wide as its caption and its widest cell, in the language of the run (the description
        // takes what is left and may scroll); captions measured in the header's font, here made larger than the cells'.
        QFont captions = v->grid->horizontalHeader()->font();
        captions.setPointSizeF(captions.pointSizeF() * 2.5);
        v->grid->horizontalHeader()->setFont(captions);
        v->resize(v->width() + 40, v->height()), QCoreApplication::processEvents();
        const QFontMetrics fm(v->grid->font()), fh(v->grid->horizontalHeader()->font());
        bool fits = true;
        for (int c = 1; c < v->visor.grid.Cols(); ++c) {
            if (c == v->visor.colDescripcion) continue;
            int need = v->grid->horizontalHeader()->sectionSizeHint(c - 1);  // the caption as the header sizes it
            for (int r = 1; r < v->visor.grid.Rows(); ++r)
                need = qMax(need, fm.horizontalAdvance(v->visor.grid.TextMatrix(r, c)));
            fits = fits && twipsToPx(v->visor.grid.ColWidth(c)) >= need;
        }
        // The checkout: the written row marked OK with the value written and the gateway's answer, then left out by
        // "Only not checked"; the caption counts it.
        QTRY_VERIFY(!l.Senyales[row].Eco.isEmpty());
        v->visor.grid.setRow(row), v->visor.grid.setRowSel(row);
        v->cmdCheckout->menu()->actions().value(0)->trigger();  // Mark OK
        const QString csv = QString::fromUtf8(readAll(dir + "/Checkout.csv"));
        const QRegularExpressionMatch m =
            QRegularExpression("\n(\\d+),.*,OK,[^,]*,[^,]*,([^,]*),[^,]*,([^,]*),").match(csv);
        v->chkSinComprobar->click();
        v->cmdCheckout->menu()->actions().value(0)->trigger();  // the row is hidden now: nothing to mark, and said
        QCOMPARE(prompts.texts().filter(Texto("CheckoutSinSeleccion")).size(), 1);
        int shown = 0;
        for (int r = 1; r < v->visor.grid.Rows(); ++r) shown += !v->grid->isRowHidden(r - 1);  // as drawn
        got += (fits ? " fits " : " cut ") + v->windowTitle().section(Texto("CheckoutComprobadas"), 1) + " " +
               m.capturedTexts().mid(1).join(',') + " " + QString::number(shown);
        QCOMPARE(got, run.section(" -> ", 1));
        QTest::mouseClick(w.chkOnline, Qt::LeftButton);  // off line, so the window may close
        QCOMPARE(w.chkOnline->palette().color(QPalette::Button), QApplication::palette().color(QPalette::Button));
    }

    // The viewer's buttons and menus: Copy puts the rows the filter shows on the clipboard, Refresh asks for the
    // row's signal, a note is asked with the one kept (a blank answer keeps it, text is stored trimmed), a trend
    // needs a row and follows 8 at most, a tab's click shows its help.
    void viewerActions() {
        TestHome home;
        ScriptedPrompts prompts;
        app().ProtEquipo = app().ProtProyecto = QStringLiteral("LON");
        QVector<QStringList> rows;
        for (int a = 7; a <= 16; ++a) rows << lonPointRow(1, 105, a, "R", a);
        QVERIFY(loadLonSignals(home.projectsRoot() + "/L", rows));
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        fVerDatos* v = (w.mnuVDatos->trigger(), w.visorDatos());
        QStringList sent;
        v->visor.transmite = [&](const QString& t) { sent << t; };
        QTest::keyClicks(v->txtFiltro, "Point 1"), v->cmdCopy->click();  // the header and points 10..16
        QCOMPARE(QApplication::clipboard()->text().count("\r\n"), 8);
        v->txtFiltro->clear();
        v->visor.grid.select(2, 1, 2, 1), w.mnuRefresh->trigger();
        QCOMPARE(sent, QStringList{"AD0008?"});
        QAction* note = v->cmdCheckout->menu()->actions().last();
        QStringList notes;
        for (const char* answer : {"  loose wire ", "", "x"})
            prompts.queueText(answer), note->trigger(), notes << v->checkout.checkout.registro(8)->nota;
        QCOMPARE(notes, QStringList({"loose wire", "loose wire", "x"}));
        QTest::keyClicks(v->txtFiltro, "~"), v->cmdTendencia->click(), v->txtFiltro->clear();  // no row chosen
        for (int n : {8, 9}) v->visor.grid.select(1, 1, n, 1), v->cmdTendencia->click();       // at most 8 followed
        QCOMPARE(prompts.texts().mid(3),
                 QStringList({Texto("MonitorTendenciaSinSenyal"), Texto("MonitorTendenciaMaximo") + "8"}));
        QCOMPARE(w.mdiArea->findChildren<fTendencia*>().size(), 2);
        // What is on screen follows once a second, a trend four times a second.
        QCOMPARE(QList<int>({w.Timer1->interval(), v->Timer1->interval(),
                             w.mdiArea->findChild<fTendencia*>()->Timer1->interval()}),
                 QList<int>({1000, 1000, 250}));
        emit v->TabStrip1->tabBarClicked(0);
        QCOMPARE(v->lblHelp->text(), v->TabStrip1->tabToolTip(0));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint cell = v->grid->cellRect(3, 2).center();  // a double click asks for a value to write
        QTest::mouseClick(v->grid->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(v->grid->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY2(prompts.texts().last().startsWith(Texto("MonitorSoloLectura") + "AD0009"),
                 qPrintable(prompts.texts().last()));
    }

    // The trend fits its window: a time label per 110 px (2 to 8), the legend from 220 px high, the time axis's
    // title from 300 px high, the value axis's from 420 px wide.
    void trendFitsItsWindow() {
        TestHome home;
        QVERIFY(loadLonSignals(home.projectsRoot() + "/L", {lonPointRow(1, 105, 0, "R", 7)}));
        fTendencia t({1});
        t.show();
        const QChart* c = t.findChild<QChartView*>()->chart();
        QStringList got;
        for (const QSize size : {QSize(219, 219), QSize(220, 220), QSize(329, 299), QSize(330, 300), QSize(419, 300),
                                 QSize(420, 300), QSize(989, 300), QSize(1100, 300)}) {
            t.resize(size);
            got << QString::number(static_cast<QDateTimeAxis*>(c->axes(Qt::Horizontal)[0])->tickCount()) + " " +
                       QString::number(c->legend()->isVisible()) +
                       QString::number(c->axes(Qt::Horizontal)[0]->isTitleVisible()) +
                       QString::number(c->axes(Qt::Vertical)[0]->isTitleVisible());
        }
        QCOMPARE(got, QStringList({"2 000", "2 100", "2 100", "3 110", "3 110", "3 111", "8 111", "8 111"}));
        // Values reported are drawn at the window's own tick, the value axis around them.
        SenyalesSink sink;
        const auto* y = static_cast<QValueAxis*>(c->axes(Qt::Vertical)[0]);
        QStringList ranges;
        for (const char* v : {"100", "100", "10"}) {
            QVERIFY(sink.setValue("AD0007", v, nullptr));
            t.informe(1);
            QTRY_COMPARE(static_cast<const QXYSeries*>(c->series()[0])->count(), int(ranges.size()) + 1);
            ranges << QString("%1..%2").arg(y->min()).arg(y->max());
        }
        QCOMPARE(ranges, QStringList({"94..106", "94..106", "0..120"}));  // one value: 5 % either side, in round steps
    }

    void windowsGo_data() {
        QTest::addColumn<QString>("window");
        for (const char* w : {"viewer", "viewer frame", "ascii", "external", "trend", "trend with viewer"})
            QTest::newRow(w) << QString(w);
    }

    // A window of the main window's area that closes is gone with its frame once deferred deletes run (the viewer by
    // its button, the others by their frame; a trend with its viewer); opened again it is a new one, filled as the
    // first. The viewer takes no typing; its Refresh button reads "Stop" while it asks and again "Refresh" when done.
    void windowsGo() {
        const QString which = col<QString>("window");
        TestHome home;
        ScriptedPrompts prompts;
        app().ProtEquipo = app().ProtProyecto = QStringLiteral("LON");
        QVERIFY(loadLonSignals(
            home.projectsRoot() + "/L",
            {lonPointRow(1, 105, 0, "R", 7), lonPointRow(1, 105, 1, "R", 8), lonPointRow(1, 105, 2, "R", 9)}));
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        w.show();
        const int frames = int(w.mdiArea->subWindowList().size());
        for (int round = 0; round < 2; ++round) {
            QWidget* win = nullptr;
            fVerDatos* v = which == "ascii" || which == "external" ? nullptr : (w.mnuVDatos->trigger(), w.visorDatos());
            if (v) QCOMPARE(QList<int>({v->visor.grid.Rows(), v->TabStrip1->count()}), QList<int>({4, 1}));
            if (which == "ascii") win = (w.mnuVInterno->trigger(), w.monitorAscii());
            if (which == "external") win = (w.mnuVPExterno->trigger(), w.monitorExterno());
            if (which.startsWith("viewer")) {
                win = v;
                const QString before = v->visor.grid.TextMatrix(1, 1);
                QTest::keyClicks(v->grid, "7"), QTest::keyClick(v->grid, Qt::Key_Return);
                QCOMPARE(v->visor.grid.TextMatrix(1, 1), before);
                QStringList sent, captions;
                v->visor.transmite = [&](const QString& t) { sent << t; };
                app().EstadoConexion = 2;
                v->cmdRefrescar->click(), captions << v->cmdRefrescar->text();
                QTRY_COMPARE(v->cmdRefrescar->text(), Texto("cmdRefrescar"));  // one pass over every signal
                v->cmdRefrescar->click(), captions << v->cmdRefrescar->text();
                v->cmdRefrescar->click(), captions << v->cmdRefrescar->text();
                app().EstadoConexion = 0;
                QCOMPARE(captions + sent, QStringList({"Stop", "Stop", "-", "AD0007?", "AD0008?", "AD0009?", "AD0007?"})
                                              .replaceInStrings("-", Texto("cmdRefrescar")));
                QVERIFY(!v->visor.sondeo.activo());
                // Every row filtered out: marks made beside the window still reach its caption within a second.
                const QString counts = (QTest::keyClicks(v->txtFiltro, "~"), v->windowTitle());
                Checkout beside;
                QString error;
                QVERIFY(beside.carga(kSlotLon, &error) &&
                        beside.marca(listaSenyales(), {1, 2, 3},
                                     round ? EstadoCheckout::SinComprobar : EstadoCheckout::Correcto, {}, false,
                                     &error));
                QTRY_VERIFY2(v->windowTitle() != counts, qPrintable(counts));  // by the window's own tick
                v->txtFiltro->clear();
                emit v->grid->cellRightClicked(0, 1, QPoint()), emit v->grid->cellRightClicked(1, 0, QPoint());
                QCoreApplication::processEvents();
                QVERIFY(!w.popmnuRefresh->isVisible());          // none on a caption or a row number
                emit v->grid->cellRightClicked(1, 1, QPoint());  // the popup with the checkout's marks under a line
                QTRY_VERIFY(w.popmnuRefresh->isVisible());
                QCOMPARE(windowDiffers(w.popmnuRefresh, "viewer-popup"), QString());
                w.popmnuRefresh->hide();
            }
            if (which.startsWith("trend")) {
                v->visor.grid.select(1, 1, 2, 1), v->cmdTendencia->click();
                win = w.mdiArea->findChild<fTendencia*>();
                w.mnuVMosaico->trigger();  // tiled: the viewer, its trends, then the monitors
                QList<QMdiSubWindow*> tiled = w.mdiArea->subWindowList();
                std::sort(tiled.begin(), tiled.end(), [](auto* a, auto* b) {
                    return std::make_pair(a->y(), a->x()) < std::make_pair(b->y(), b->x());
                });
                QStringList order;
                for (QMdiSubWindow* sub : tiled) order << sub->widget()->objectName();
                QCOMPARE(order, QStringList({"fVerDatos", "fTendencia", "fTestPilmora"}));
            }
            QVERIFY(win);
            if (round == 0)
                QCOMPARE(windowDiffers(&w, "area-" + QString(which).replace(' ', '-'), home.path()), QString());
            QPointer<QWidget> gone = win, frame = win->parentWidget();
            auto* sub = qobject_cast<QMdiSubWindow*>(frame);
            QVERIFY(sub);
            if (!which.startsWith("trend")) {  // asked for again, minimized behind another: back and in front
                sub->showMinimized(), w.mdiArea->setActiveSubWindow(w.mdiArea->subWindowList().first());
                (which == "ascii" ? w.mnuVInterno : which == "external" ? w.mnuVPExterno : w.mnuVDatos)->trigger();
                QVERIFY(!sub->isMinimized() && w.mdiArea->activeSubWindow() == sub);
            }
            if (which == "viewer")
                v->cmdCerrar->click();
            else
                qobject_cast<QMdiSubWindow*>(which.endsWith("viewer") ? v->parentWidget() : sub)->close();
            QTRY_VERIFY(gone.isNull() && frame.isNull());
            QCOMPARE(int(w.mdiArea->subWindowList().size()), frames + (which == "trend"));  // the viewer stays
            QCOMPARE(bool(w.visorDatos()), which == "trend");
        }
    }
};

QTEST_MAIN(TstMonitors)
#include "tst_monitors.moc"
