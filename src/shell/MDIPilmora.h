// The main window: menus, console strip, status bar, the link monitor and the
// start-up of the whole program.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include "CommandHistory.h"
#include "Startup.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class GatewayLink;
class fTestA;
class fTestExterno;
class fTestPilmora;
class fVerDatos;
class fConfLonA;
class fConfMbs6A;

// Brings a window to the user: a minimized one is restored, a hidden one shown,
// and it gets the focus. MDI children are handled through their frame.
void MuestraVentana(QWidget* form);

class MDIPilmora : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIPilmora(QWidget* parent = nullptr);
    ~MDIPilmora() override;

    // Start-up steps 2 to 14 (step 1, the single instance, is taken before the
    // window exists; step 15 is mnuAProject_Click once the window shows).
    // False when the language file is unusable: the program ends.
    bool Form_Load();

    // Opens the editor of a protocol slot modally: 60 LON, 77 MBS6; any other
    // slot opens nothing. False when nothing opened.
    bool AbreEditor(int slot);

    // Status bar panel text, 1..4 (4: the link's last word: a download's result,
    // an automatic wait, a gateway that stopped answering).
    QString panel(int n) const;
    fTestPilmora* monitorEnlace() const { return m_fTestPilmora; }
    const ConfigSerie& comPort() const { return m_comPort; }
    // The serial port of the link is open (its settings then wait until it closes).
    bool puertoAbierto() const;
    // The link to the gateway: state, framing, console commands, transfer.
    GatewayLink* enlace() const { return m_link; }
    // The monitor signal list rebuilt for the gateway's protocol (busy pointer meanwhile).
    void Carga_DatosMFAPilmora(const QString& protocol);
    // View menu "Data...": the live signal viewer, one instance.
    void mnuVDatos_Click();
    fVerDatos* visorDatos() const;
    // kind 0: the ASCII-bus monitor; any other: the external-bus monitor. Created when missing.
    void MuestraMonitor(int kind);
    fTestA* monitorAscii() const;
    fTestExterno* monitorExterno() const;

    // Controls, named as the system names them.
    QMdiArea* mdiArea = nullptr;
    QWidget* picPilmora = nullptr;
    QComboBox* cboCmd = nullptr;
    QPushButton* cmdEnviar = nullptr;
    QComboBox* cboFichero = nullptr;
    QPushButton* cmdSendFilePilmora = nullptr;
    QPushButton* chkOnline = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QFrame* shpTransfer1 = nullptr;
    QFrame* shpTransfer2 = nullptr;
    QLabel* imgLogo = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    QMenu *mnuArchivo = nullptr, *mnuVer = nullptr, *mnuVProtocolos = nullptr, *mnuConfiguracion = nullptr,
          *mnuCIdioma = nullptr, *mnuVentanas = nullptr, *mnuAyuda = nullptr, *popmnuRefresh = nullptr;
    QAction *mnuAProject = nullptr, *mnuASalir = nullptr, *mnuVDatos = nullptr, *mnuVInterno = nullptr,
            *mnuVPTester = nullptr, *mnuVPExterno = nullptr, *mnuCConexion = nullptr, *mnuCProtocolo = nullptr,
            *mnuVMosaico = nullptr, *mnuVCascada = nullptr, *mnuAcercade = nullptr, *mnuRefresh = nullptr,
            *mnuEdit = nullptr, *mnuAInforme = nullptr;
    QList<QAction*> mnuCISel;
    QAction* mnuAHistorial = nullptr;  // File -> Download history...

public slots:
    void mnuAProject_Click();
    // The open project's download history (fHistorial), modal.
    void mnuAHistorial_Click();
    // The handover report of the open project, as PDF or HTML (the file name says which).
    void mnuAInforme_Click();
    void mnuASalir_Click();
    void mnuCISel_Click(int index);
    void mnuCProtocolo_Click();
    void mnuCConexion_Click();
    void mnuVMosaico_Click();
    void mnuVCascada_Click();
    void mnuAcercade_Click();
    void Timer1_Timer();
    void chkOnline_Click(bool checked);
    void cmdEnviar_Click();
    void cmdSendFilePilmora_Click();
    // Whether the window may close now. On line it may not, unless the desktop session is ending: then the
    // link is shut down (spies off, port closed) and it closes.
    bool cierra(bool sesionTermina);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void construyeMenus();
    void construyeConsola();
    void construyeEstado();
    void cargaMenuIdiomas();
    void ponTextos();
    void muestraMonitor();
    void muestraProyecto();
    // Closes the viewer (its trends with it) and the spy monitors: another project was selected.
    void cierraVentanasProyecto();
    // A new window moved (and shrunk only when it must) to lie whole inside the work area.
    void colocaEnArea(QMdiSubWindow* sub);
    // Tile: a monitor narrower than this cannot show its boxes.
    static constexpr int kAnchoUtil = 420;
    void conectaEnlace();
    // Enables the console controls as the project and the link state allow.
    void aplicaControles();
    void ponEnLinea(bool on);
    // The on-line button's colour from the link: waiting, confirmed, not answering.
    void ponColor();
    void llenaComandos();
    // Enables a control unless its window or link is not there yet.

    fTestPilmora* m_fTestPilmora = nullptr;
    fConfLonA* m_fConfLonA = nullptr;
    fConfMbs6A* m_fConfMbs6A = nullptr;
    QLabel* m_panel[4] = {nullptr, nullptr, nullptr, nullptr};
    QActionGroup* m_grupoIdiomas = nullptr;
    ConfigSerie m_comPort;
    GatewayLink* m_link = nullptr;
    QPointer<fVerDatos> m_fVerDatos;
    QPointer<fTestA> m_fTestA;
    QPointer<fTestExterno> m_fTestExterno;
    CommandHistory m_historial;
};
