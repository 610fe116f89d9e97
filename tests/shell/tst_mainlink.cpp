// The main window as the gateway's console: which controls the link state
// allows, the remembered commands, and a whole session against the simulated
// gateway on loopback.
#include <QtTest>

#include "AppGlobals.h"
#include "CommandHistory.h"
#include "LinkControls.h"
#include "ModulINI.h"
#include "ProjectFixtures.h"

class TestMainLink : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    void enablingRules_data() {
        QTest::addColumn<bool>("project");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("online");
        // chkOnline, mnuAProject, mnuCConexion, mnuVer, cmdEnviar, cboFichero, cmdSendFilePilmora
        QTest::addColumn<QString>("enabled");
        QTest::newRow("no project") << false << 0 << false << "0100000";
        QTest::newRow("project, off line") << true << 0 << false << "1110000";
        QTest::newRow("waiting for the protocol") << true << 1 << true << "1010000";
        QTest::newRow("verified") << true << 2 << true << "1011111";
        QTest::newRow("file announced") << true << 3 << true << "1011010";
        QTest::newRow("sending") << true << 4 << true << "1011010";
        QTest::newRow("restarting after a download") << true << 5 << false << "1110000";
    }
    void enablingRules() {
        QFETCH(bool, project);
        QFETCH(int, state);
        QFETCH(bool, online);
        QFETCH(QString, enabled);
        const LinkControls c = LinkControls::para(project, state, online);
        QString got;
        for (bool b : {c.chkOnline, c.mnuAProject, c.mnuCConexion, c.mnuVer, c.cmdEnviar, c.cboFichero,
                       c.cmdSendFilePilmora})
            got += b ? '1' : '0';
        QCOMPARE(got, enabled);
    }

    void commandHistory_data() {
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("remembered");
        QTest::newRow("typed command") << QStringList{"AD0005?"} << QStringList{"AD0005?"};
        QTest::newRow("fixed and blank ones are not") << QStringList{"INFO?", "   ", ""} << QStringList{};
        QTest::newRow("edited pattern is") << QStringList{"TIME=2026/12/06 12:00:00"}
                                           << QStringList{"TIME=2026/12/06 12:00:00"};
        QTest::newRow("trimmed, a repeat moves up") << QStringList{" A ", "B", "A"} << QStringList{"A", "B"};
        QStringList many, last20;
        for (int i = 1; i <= 25; ++i) many << QString("AD%1=1").arg(i, 4, 10, QChar('0'));
        for (int i = 25; i > 5; --i) last20 << QString("AD%1=1").arg(i, 4, 10, QChar('0'));
        QTest::newRow("newest 20 kept") << many << last20;
    }
    void commandHistory() {
        QFETCH(QStringList, sent);
        QFETCH(QStringList, remembered);
        TestHome home;
        CommandHistory h;
        h.load();
        for (const QString& c : sent) h.remember(c);
        QCOMPARE(h.recent(), remembered);
        CommandHistory again;  // what the next start reads
        again.load();
        QCOMPARE(again.recent(), remembered);
    }
};

QTEST_MAIN(TestMainLink)
#include "tst_mainlink.moc"
