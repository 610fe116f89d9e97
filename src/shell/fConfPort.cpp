#include "fConfPort.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {
template <class T>
T* nombrado(T* w, const QString& name) {
    w->setObjectName(name);
    return w;
}
}  // namespace

fConfPort::fConfPort(ConfigSerie& comPort, bool puertoAbierto, QWidget* parent)
    : QDialog(parent), m_comPort(comPort), m_puertoAbierto(puertoAbierto) {
    setObjectName(QStringLiteral("fConfPort"));
    setModal(true);

    optRSTCP[0] = nombrado(new QRadioButton(this), QStringLiteral("optRSTCP(0)"));
    optRSTCP[1] = nombrado(new QRadioButton(this), QStringLiteral("optRSTCP(1)"));
    frmCom[0] = nombrado(new QGroupBox(this), QStringLiteral("frmCom(0)"));
    frmCom[1] = nombrado(new QGroupBox(this), QStringLiteral("frmCom(1)"));
    cboCom = nombrado(new QComboBox(frmCom[0]), QStringLiteral("cboCom"));
    cboBaud = nombrado(new QComboBox(frmCom[0]), QStringLiteral("cboBaud"));
    txtIp = nombrado(new QLineEdit(frmCom[1]), QStringLiteral("txtIp"));
    txtPort = nombrado(new QLineEdit(frmCom[1]), QStringLiteral("txtPort"));
    txtIp->setMaxLength(15);
    txtPort->setMaxLength(5);
    cmdAceptar = nombrado(new QPushButton(this), QStringLiteral("cmdAceptar"));
    cmdSalir = nombrado(new QPushButton(this), QStringLiteral("cmdSalir"));
    cmdAceptar->setDefault(true);

    auto* serie = new QFormLayout(frmCom[0]);
    serie->addRow(Texto("ConfPortPuerto"), cboCom);
    serie->addRow(Texto("Baudios"), cboBaud);
    auto* udp = new QFormLayout(frmCom[1]);
    udp->addRow(Texto("ConfPortIP"), txtIp);
    udp->addRow(Texto("ConfPortPuertoUDP"), txtPort);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdSalir);
    auto* v = new QVBoxLayout(this);
    v->addWidget(optRSTCP[0]);
    v->addWidget(frmCom[0]);
    v->addWidget(optRSTCP[1]);
    v->addWidget(frmCom[1]);
    m_aviso = new QLabel(Texto("ConfPortSoloBaudios"), this);
    m_aviso->setWordWrap(true);
    v->addWidget(m_aviso);
    v->addLayout(botones);

    connect(cmdAceptar, &QPushButton::clicked, this, &fConfPort::cmdAceptar_Click);
    connect(cmdSalir, &QPushButton::clicked, this, &fConfPort::cmdSalir_Click);
    // The option buttons are the frames' headings; the frame of the way not chosen is greyed, so the user sees which entries count.
    connect(optRSTCP[1], &QRadioButton::toggled, this, [this](bool udpOn) {
        frmCom[0]->setEnabled(!udpOn || app().EstadoConexion != 0);
        frmCom[1]->setEnabled(udpOn);
    });

    Form_Load();
    setMinimumWidth(380);
    resize(sizeHint());
}

void fConfPort::Form_Load() {
    BusyPointer busy;
    // Every port the system lists (ports without a COM number by their device
    // path); the stored one stays offered, marked, when it is not there now.
    m_puertos = ConnectionSettings::Puertos(m_comPort.com, m_comPort.device, ConnectionSettings::PuertosSistema());
    int actual = -1;
    for (int i = 0; i < m_puertos.size(); ++i) {
        const PuertoOfrecido& p = m_puertos[i];
        cboCom->addItem(p.texto);
        const bool esta = m_comPort.device.trimmed().isEmpty() ? p.device.isEmpty() && p.com == m_comPort.com
                                                               : p.device == m_comPort.device.trimmed();
        if (esta && actual < 0) actual = i;
    }
    cboBaud->addItems(ConnectionSettings::ListaBaudios());

    Settings = m_comPort.settings;
    cboCom->setCurrentIndex(actual);

    const auto& a = app();
    m_tagIp = a.IPConexion;
    txtIp->setText(m_tagIp);
    m_tagPort = QString::number(a.PuertoUDP);
    txtPort->setText(m_tagPort);

    setWindowTitle(Texto("ConfConexMerovantix"));
    optRSTCP[0]->setText(Texto("PuertoSerie"));
    optRSTCP[1]->setText(Texto("ConfPortUDP"));
    cmdAceptar->setText(Texto("&Grabar"));
    cmdSalir->setText(Texto("&Cancelar"));

    // A baud rate that is not in the list still shows as it is stored.
    const QString baud = ConnectionSettings::BaudiosDe(Settings);
    if (cboBaud->findText(baud) < 0) cboBaud->addItem(baud);
    cboBaud->setCurrentIndex(cboBaud->findText(baud));

    optRSTCP[a.ConsolaUDP ? 1 : 0]->setChecked(true);
    const bool editable = a.EstadoConexion == 0;
    optRSTCP[0]->setEnabled(editable);
    optRSTCP[1]->setEnabled(editable);
    txtIp->setEnabled(editable);
    txtPort->setEnabled(editable);
    if (!editable && !a.ConsolaUDP) cboCom->setEnabled(false);
    frmCom[0]->setEnabled(!a.ConsolaUDP || !editable);
    frmCom[1]->setEnabled(a.ConsolaUDP);
    m_aviso->setVisible(!editable);
}

EntradaConexion fConfPort::entrada() const {
    EntradaConexion e;
    e.udp = optRSTCP[1]->isChecked();
    e.ip = txtIp->text();
    e.port = txtPort->text();
    e.baud = cboBaud->currentText();
    const int i = cboCom->currentIndex();
    e.com = m_comPort.com;
    if (i < 0 || i >= m_puertos.size())
        e.device = m_comPort.device;  // nothing chosen: the stored port stays as it is
    else if (!m_puertos[i].device.isEmpty())
        e.device = m_puertos[i].device;
    else
        e.com = m_puertos[i].com;
    return e;
}

bool fConfPort::Valida() {
    switch (ConnectionSettings::Valida(txtIp->text(), txtPort->text())) {
        case ConnectionSettings::IPIncorrecta:
            txtIp->setText(m_tagIp);
            txtIp->setFocus();
            return false;
        case ConnectionSettings::PuertoIncorrecto:
            txtPort->setText(m_tagPort);
            txtPort->setFocus();
            return false;
        default:
            return true;
    }
}

bool fConfPort::Graba() {
    // Checked here first so that a rejected entry is put back in its box; the
    // core check then passes without a second message.
    if (optRSTCP[1]->isChecked() && !Valida()) return false;
    const EntradaConexion e = entrada();
    Settings = ConnectionSettings::SettingsDe(e.baud);
    return ConnectionSettings::Graba(e, m_puertoAbierto, m_comPort) == ConnectionSettings::Correcto;
}

void fConfPort::cmdAceptar_Click() {
    if (Graba()) accept();
}

void fConfPort::cmdSalir_Click() { reject(); }
