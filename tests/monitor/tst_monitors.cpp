// The traffic monitors as a user sees them: the lines listed and their order,
// the newest 500 kept, the spy switches sent, the copies, the time prefix and
// the bytes of the external log.
#include <QCheckBox>
#include <QClipboard>
#include <QAbstractItemModelTester>
#include <QListView>
#include <QtTest>

#include "AppGlobals.h"
#include "ListaTramas.h"
#include "TestSupport.h"
#include "fTestExterno.h"
#include "fTestPilmora.h"
#include "mIdioma.h"

class TstMonitors : public QObject {
    Q_OBJECT
private slots:
    void batches_data();
    void batches();
    void windows_data();
    void windows();
};

void TstMonitors::batches_data() {
    QTest::addColumn<QList<int>>("sizes");  // lines 1.. arrive in these batches
    QTest::addColumn<QString>("listed");    // count first..last
    QTest::newRow("501 in one batch") << QList<int>{501} << "500 2..501";
    QTest::newRow("500 then 1") << QList<int>{500, 1} << "500 2..501";
    QTest::newRow("300 then 300") << QList<int>{300, 300} << "500 101..600";
    QTest::newRow("burst of 10000") << QList<int>{10000} << "500 9501..10000";
}

void TstMonitors::batches() {
    QFETCH(QList<int>, sizes);
    QFETCH(QString, listed);
    ListaTramas l;
    // Every batch announces exactly the rows it removes and inserts.
    QAbstractItemModelTester tester(&l, QAbstractItemModelTester::FailureReportingMode::QtTest);
    int n = 0, rowsSeen = 0;
    connect(&l, &ListaTramas::volcado, this, [&] { rowsSeen = l.rowCount(); });
    for (int size : sizes) {
        for (int i = 0; i < size; ++i) l.agrega(QString::number(++n));
        l.vuelca();
    }
    const QStringList got = l.lineas();
    QCOMPARE(QStringLiteral("%1 %2..%3").arg(got.size()).arg(got.first(), got.last()), listed);
    QCOMPARE(l.lotes(), sizes.size());  // one batch each, whatever its size
    QCOMPARE(rowsSeen, got.size());
    QVERIFY(l.linea(l.rowCount()).isEmpty() && l.linea(-1).isEmpty());
    // The queue alone lists lines once its short wait is over.
    l.agrega(QStringLiteral("late"));
    QTRY_COMPARE_WITH_TIMEOUT(l.linea(l.rowCount() - 1), QStringLiteral("late"), 1000);
}

namespace {
// What a script of user actions left: the lines listed ("/" between them,
// times as "T"), the spy switches asked for, the clipboard and the log.
struct Outcome {
    QString lines, calls, clipboard, log;
};
}  // namespace

void TstMonitors::windows_data() {
    // Actions: "L x" a line arrives, "bus0/1" chkBus, "log0/1" chkLog,
    // "ult0" chkUltimo off, "hora1" chkHora on, "copy" double-click on the
    // window, "dcl" double-click on the first line, "close".
    QTest::addColumn<QString>("window");  // P link, A ASCII bus, E external bus
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("calls");  // switches, then the spy flag, then a new window's chkHora
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("current");  // the current line at the end
    const QString start = fTestExterno::kInicioRegistro, stop = fTestExterno::kFinRegistro;
    QTest::newRow("link: bus off drops, nothing kept for later")
        << "P" << QStringList{"L a", "bus0", "L b", "bus1", "L c", "copy"} << ">a|>c" << "H0" << ">a\r\n>c\r\n"
        << "" << 1;
    QTest::newRow("link: not following keeps the current line")
        << "P" << QStringList{"L a", "flush", "ult0", "L b", "L c"} << ">a|>b|>c" << "H0" << "" << "" << 0;
    QTest::newRow("link: time in front, remembered")
        << "P" << QStringList{"hora1", "L a"} << "T >a" << "H1" << "" << "" << 0;
    QTest::newRow("ascii: lists whatever arrives, switches its spy")
        << "A" << QStringList{"L a", "bus0", "L b", "close"} << "a|b" << "INT1 INT0 INT0 0 H0" << "" << "" << -1;
    QTest::newRow("external: spy off lists and logs nothing, not even START")
        << "E" << QStringList{"bus0", "log1", "L a", "dcl"} << "" << "EXT1 EXT0 EXT0 0 H0" << "" << "" << -1;
    QTest::newRow("external: logged between START and STOP")
        << "E" << QStringList{"L a", "log1", "L b", "log0", "L c", "dcl"} << "a|" + start + "|b|" + stop + "|c"
        << "EXT1 EXT0 0 H0" << "a" << "D " + start + "\r\nD b\r\nD " + stop + "\r\n" << 0;
    QTest::newRow("external: closing with the log open writes no STOP")
        << "E" << QStringList{"log1", "L a", "close"} << start + "|a" << "EXT1 EXT0 0 H0" << ""
        << "D " + start + "\r\nD a\r\n" << -1;
    QTest::newRow("external: log that cannot open is said once")
        << "E" << QStringList{"nofolder", "log1", "L a", "L b"} << "!|a|b"
        << "EXT1 EXT0 0 H0" << "" << "" << 2;
}

void TstMonitors::windows() {
    QFETCH(QString, window);
    QFETCH(QStringList, script);
    QFETCH(QString, lines);
    QFETCH(QString, calls);
    QFETCH(QString, clipboard);
    QFETCH(QString, log);
    QFETCH(int, current);
    TestHome home(false);
    resetApp();
    CargaIdioma();
    app().RutaProyecto = home.projectsRoot() + "/P";
    app().ProtProyecto = QStringLiteral("LON");
    QVERIFY(QDir().mkpath(app().RutaProyecto));
    QStringList switched;
    bool recording = true;
    const ControlaBus controla = [&](const QString& bus, bool on) {
        if (recording) switched << bus + QString::number(on);
    };
    QApplication::clipboard()->clear();
    auto make = [&]() -> fMonitorTramas* {
        if (window == "P") return new fTestPilmora;
        if (window == "A") return new fTestA(controla);
        return new fTestExterno(controla);
    };
    fMonitorTramas* w = make();
    w->show();
    QStringList listed;
    for (const QString& step : script) {
        if (step.startsWith("L ")) {
            if (auto* p = qobject_cast<fTestPilmora*>(w)) p->VerTramas(step.mid(2), ">");
            if (auto* a = qobject_cast<fTestA*>(w)) a->VerTramas(step.mid(2));
            if (auto* e = qobject_cast<fTestExterno*>(w)) e->VerTramas(step.mid(2));
        } else if (step.startsWith("bus") && w->chkBus->isChecked() != step.endsWith('1')) {
            w->chkBus->click();
        } else if (step.startsWith("log")) {
            auto* e = qobject_cast<fTestExterno*>(w);
            if (e->chkLog->isChecked() != step.endsWith('1')) e->chkLog->click();
        } else if (step == "hora1") {
            w->chkHora->click();
        } else if (step == "nofolder") {
            app().RutaProyecto += "/missing";
        } else if (step == "copy") {
            QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(1, 1));
        } else if (step == "dcl") {
            w->flush();
            const QPoint first = w->lstTramas->visualRect(w->tramas.index(0)).center();
            QTest::mouseClick(w->lstTramas->viewport(), Qt::LeftButton, {}, first);
            QTest::mouseDClick(w->lstTramas->viewport(), Qt::LeftButton, {}, first);
        } else if (step == "flush") {
            w->flush();
        } else if (step == "ult0") {
            w->chkUltimo->click();
        } else if (step == "close") {
            listed = w->lineas();
            const QPointer<fMonitorTramas> closing = w;
            w->close();
            QTRY_VERIFY(closing.isNull());
            w = nullptr;
        }
    }
    if (w) listed = w->lineas();
    QCOMPARE(w ? w->lstTramas->currentIndex().row() : -1, current);
    delete w;
    if (window != "P") switched << QString::number(window == "A" ? app().EspiaInt : app().EspiaExt);
    recording = false;
    QScopedPointer<fMonitorTramas> again(make());
    switched << "H" + QString::number(again->chkHora->isChecked());

    QString shown = listed.join('|');
    shown.replace(QRegularExpression("\\d\\d:\\d\\d:\\d\\d\\.\\d{3} "), "T ");
    if (lines.startsWith('!')) {
        // Path and reason, once, before the lines that follow.
        const QString said = Texto("MonitorRegistroNoAbierto") + app().RutaProyecto + "/LON.log (";
        QVERIFY2(shown.startsWith(said), qPrintable(shown));
        shown = shown.section('|', 1);
        lines = lines.section('|', 1);
    }
    QCOMPARE(shown, lines);
    QCOMPARE(switched.join(' '), calls);
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
    QString written = QString::fromLatin1(readAll(app().RutaProyecto + "/LON.log"));
    written.replace(QRegularExpression("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d "), "D ");
    QCOMPARE(written, log);
}

QTEST_MAIN(TstMonitors)
#include "tst_monitors.moc"
