// Connection settings dialog: how the tool reaches the gateway, over a serial
// port (application-wide) or over UDP (per project). While the link is on line
// only the baud rate can change; it is stored and used when the port next opens.
#pragma once

#include <QDialog>

#include "ConnectionSettings.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class fConfPort : public QDialog {
    Q_OBJECT
public:
    // comPort: the main window's serial control settings, changed by Graba
    // while the port is closed.
    fConfPort(ConfigSerie& comPort, bool puertoAbierto, QWidget* parent = nullptr);

    QComboBox* cboCom = nullptr;
    QComboBox* cboBaud = nullptr;
    QRadioButton* optRSTCP[2] = {nullptr, nullptr};
    QGroupBox* frmCom[2] = {nullptr, nullptr};
    QLineEdit* txtIp = nullptr;
    QLineEdit* txtPort = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdSalir = nullptr;

    // The serial settings string shown and saved.
    QString Settings;

    // The entries as they stand.
    EntradaConexion entrada() const;
    bool Graba();
    bool Valida();

public slots:
    void cmdAceptar_Click();
    void cmdSalir_Click();

private:
    void Form_Load();

    ConfigSerie& m_comPort;
    bool m_puertoAbierto;
    // The values shown at load, put back after a rejected entry.
    QString m_tagIp, m_tagPort;
    QLabel* m_aviso = nullptr;  // says why most entries are locked while on line
    QList<PuertoOfrecido> m_puertos;  // cboCom's entries, in order
};
