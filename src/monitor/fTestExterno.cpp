#include "fTestExterno.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QListView>

#include "AppGlobals.h"
#include "mIdioma.h"

fTestExterno::fTestExterno(ControlaBus controlaBus, QWidget* parent)
    : fMonitorTramas(QStringLiteral("fTestExterno"), parent), m_controlaBus(std::move(controlaBus)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Texto("EspiaComunicacionPExterno") + QStringLiteral(": ") + app().ProtProyecto);
    chkLog = new QCheckBox(Texto("chkLog"), this);
    chkLog->setObjectName(QStringLiteral("chkLog"));
    chkLog->setToolTip(Texto("MonitorRegistroAyuda"));
    fila->insertWidget(3, chkLog);

    // The link keeps the flag: it follows what the gateway was told, and a
    // wanted spy is switched on again when the protocol is next confirmed.
    m_controlaBus(QStringLiteral("EXT"), true);
    connect(chkBus, &QCheckBox::toggled, this, [this](bool on) { m_controlaBus(QStringLiteral("EXT"), on); });
    connect(chkLog, &QCheckBox::clicked, this, &fTestExterno::chkLog_Click);
    connect(&tramas, &ListaTramas::volcado, this, [this] {
        if (!m_log.vacia()) registroParado(Texto("MonitorRegistroFallo"), m_log.error());
    });
    connect(lstTramas, &QListView::doubleClicked, this, [this](const QModelIndex& i) {
        QClipboard* cb = QApplication::clipboard();
        cb->clear();
        if (i.isValid()) cb->setText(tramas.linea(i.row()));
    });
}

fTestExterno::~fTestExterno() {
    m_controlaBus(QStringLiteral("EXT"), false);
    app().EspiaExt = false;
    // The log closes with the window; the spy being off already, no STOP line
    // is listed or logged.
}

void fTestExterno::VerTramas(const QString& text) {
    if (!chkBus->isChecked()) return;
    tramas.agrega(text);
    if (!m_log.escribe(text)) registroParado(Texto("MonitorRegistroFallo"), m_log.error());
}

void fTestExterno::registroParado(const QString& aviso, const QString& error) {
    // Said once, in the list itself: nobody should believe the traffic is recorded.
    m_log.cierra();
    chkLog->setChecked(false);
    tramas.agrega(aviso + RegistroTramas::ruta() + QStringLiteral(" (") + error + QLatin1Char(')'));
}

void fTestExterno::chkLog_Click(bool checked) {
    if (checked) {
        QString error;
        if (m_log.abre(&error)) {
            VerTramas(QString::fromLatin1(kInicioRegistro));
            return;
        }
        registroParado(Texto("MonitorRegistroNoAbierto"), error);
    } else if (m_log.abierto()) {
        VerTramas(QString::fromLatin1(kFinRegistro));
        m_log.cierra();
    }
}
