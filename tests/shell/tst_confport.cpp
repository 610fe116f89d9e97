// The connection settings dialog: what saving checks, restores and writes where.
#include <QtTest>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "AppGlobals.h"
#include "ModulINI.h"
#include "ProjectFixtures.h"
#include "fConfPort.h"
#include "mIdioma.h"

class TestConfPort : public QObject {
    Q_OBJECT
private slots:
    // Each row: the entries the user leaves, whether the serial port is open,
    // then what saving shows and writes.
    void graba_data() {
        QTest::addColumn<QString>("entries");  // "udp|ip|port|baud|cboCom text"
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<QString>("message");   // empty: saved and closed
        QTest::addColumn<QString>("boxes");     // txtIp|txtPort after the click
        QTest::addColumn<QString>("appIni");    // Com|ComDevice|Settings
        QTest::addColumn<QString>("projectIni");  // UDPConsole|Port
        QTest::addColumn<QString>("globals");   // ConsolaUDP|IPConexion|PuertoUDP
        const QString untouched = "-|-|-";
        QTest::newRow("UDP on loopback") << "1|127.0.0.1|5001|9600|COM 3" << false << ""
                                         << "127.0.0.1|5001" << "3||9600,n,8,1" << "1|5001" << "1|127.0.0.1|5001";
        QTest::newRow("port 65535 is the last") << "1|127.0.0.1|65535|57600|COM 1" << false << ""
                                                << "127.0.0.1|65535" << "1||57600,n,8,1" << "1|65535"
                                                << "1|127.0.0.1|65535";
        QTest::newRow("port 0 put back") << "1|127.0.0.1|0|9600|COM 3" << false << "Port: 0#incorrecto"
                                         << "127.0.0.1|23" << untouched << "-|-" << "0|10.1.1.1|23";
        QTest::newRow("port 65536 put back") << "1|127.0.0.1|65536|9600|COM 3" << false
                                             << "Port: 65536#incorrecto" << "127.0.0.1|23" << untouched
                                             << "-|-" << "0|10.1.1.1|23";
        QTest::newRow("address out of range put back") << "1|127.0.0.256|5001|9600|COM 3" << false
                                                       << "IP: 127.0.0.256#incorrecta" << "10.1.1.1|5001"
                                                       << untouched << "-|-" << "0|10.1.1.1|23";
        QTest::newRow("serial takes any address text") << "0|abc|24|115200|COM 16" << false << "" << "abc|24"
                                                       << "16||115200,n,8,1" << "0|24" << "0|abc|24";
        QTest::newRow("port open: serial settings wait") << "0|10.1.1.1|23|1200|COM 2" << true << ""
                                                         << "10.1.1.1|23" << untouched << "0|23" << "0|10.1.1.1|23";
        QTest::newRow("device path beside the number") << "0|10.1.1.1|23|9600|/dev/ttyPLM0" << false << ""
                                                       << "10.1.1.1|23" << "4|/dev/ttyPLM0|9600,n,8,1" << "0|23"
                                                       << "0|10.1.1.1|23";
    }
    void graba() {
        QFETCH(QString, entries);
        QFETCH(bool, portOpen);
        QFETCH(QString, message);
        QFETCH(QString, boxes);
        QFETCH(QString, appIni);
        QFETCH(QString, projectIni);
        QFETCH(QString, globals);
        TestHome home;
        ScriptedPrompts prompts;
        auto& a = app();
        a.RutaProyecto = makeProject(home.projectsRoot(), "P", "LON", "d");
        a.ProtProyecto = a.NombreIni = "LON";
        a.IPConexion = "10.1.1.1";
        ConfigSerie com{"57600,n,8,1", 4, "/dev/ttyPLM0"};  // a stored device stays choosable
        fConfPort dlg(com, portOpen);
        QCOMPARE(dlg.cboCom->currentText(), QStringLiteral("/dev/ttyPLM0"));
        const QStringList e = entries.split('|');
        dlg.optRSTCP[e[0].toInt()]->setChecked(true);
        dlg.txtIp->setText(e[1]);
        dlg.txtPort->setText(e[2]);
        dlg.cboBaud->setCurrentText(e[3]);
        dlg.cboCom->setCurrentIndex(dlg.cboCom->findText(e[4]));
        dlg.cmdAceptar->click();

        const QStringList m = message.split('#');  // literal part, language key
        QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{m[0] + Texto(m[1])});
        QCOMPARE(dlg.result(), message.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(dlg.txtIp->text() + "|" + dlg.txtPort->text(), boxes);
        auto appKey = [](const char* k) { return LeeIniAplicacion("Configuracion", k, "-"); };
        QCOMPARE(appKey("Com") + "|" + appKey("ComDevice") + "|" + appKey("Settings"), appIni);
        QCOMPARE(LeeIni("Console", "UDPConsole", "-") + "|" + LeeIni("Console", "Port", "-"), projectIni);
        QCOMPARE(QString("%1|%2|%3").arg(a.ConsolaUDP).arg(a.IPConexion).arg(a.PuertoUDP), globals);
        // The main window's serial control follows the file, or stays while the port is open.
        if (appIni != "-|-|-")
            QCOMPARE(QString("%1|%2|%3").arg(com.com).arg(com.device, com.settings), appIni);
        else
            QCOMPARE(com.settings + com.device, QStringLiteral("57600,n,8,1/dev/ttyPLM0"));
    }

    // While on line only the baud rate can change (the frame of the way not
    // chosen is greyed as well; that is not what this checks).
    void onlineLocksAllButBaud_data() {
        QTest::addColumn<bool>("udp");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("enabled");  // optRSTCP(0), optRSTCP(1), txtIp, txtPort, cboCom, cboBaud
        QTest::newRow("off line, serial") << false << 0 << "111111";
        QTest::newRow("on line, serial") << false << 2 << "000001";
        QTest::newRow("on line, UDP") << true << 2 << "000011";
    }
    void onlineLocksAllButBaud() {
        QFETCH(bool, udp);
        QFETCH(int, state);
        QFETCH(QString, enabled);
        TestHome home;
        app().ConsolaUDP = udp;
        app().EstadoConexion = qint16(state);
        ConfigSerie com{"19200,n,8,1", 7, ""};
        fConfPort dlg(com, false);
        QCOMPARE(dlg.cboBaud->currentText() + dlg.cboCom->currentText(), QStringLiteral("19200COM 7"));
        QString got;
        for (QWidget* w : std::initializer_list<QWidget*>{dlg.optRSTCP[0], dlg.optRSTCP[1], dlg.txtIp, dlg.txtPort,
                                                          dlg.cboCom, dlg.cboBaud})
            got += w->testAttribute(Qt::WA_ForceDisabled) ? '0' : '1';  // its own state, not its frame's
        QCOMPARE(got, enabled);
    }
};

QTEST_MAIN(TestConfPort)
#include "tst_confport.moc"
