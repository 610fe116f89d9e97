// The configuration of one LON gateway: the ASCII side of the link, the
// gateway's own LON identity and the LON devices. The editor window binds its
// controls to the public members (named after the INI keys they are kept under)
// and calls the methods where a control's event would; the checks, the download
// file generator and the command-line tool read the same object, so nothing here
// needs a screen.
//
// Persistence: the project's INI file named after the protocol (LON.ini), section
// "LON" for the LON side and the devices, section "ASCII" for the ASCII side.
// The INI routines find that file through app().RutaProyecto and app().NombreIni:
// set NombreIni to "LON" before Carga_ConfLon / Graba_ConfLon (the editor does it
// on opening, loadLonProject() in LonProject.h does it for the command line).
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include "AsciiSerialConfig.h"

// One LON device (number n = index + 1). The four fields hold the text the
// device fields show; "On" is the device list's check mark.
struct LonDevice {
    bool On = false;         // "Dn-On": device in use
    QString NId;             // "Dn-NId": Neuron-ID, 12 hexadecimal characters
    QString Sb = QStringLiteral("1");  // "Dn-Sb": subnet 0..255
    QString Nd;              // "Dn-Nd": node 0..127 (default: the device number)
    QString Nm;              // "Dn-Nm": descriptive name
};

class LonConfig : public AsciiSerialConfig {
public:
    // ---- Choice lists, in list order (index 0 first).
    static const QStringList& baudItems();       // cboBaud: "600" .. "57600"
    // cmbBits and cmbParidad: AsciiSerialConfig.
    static const QStringList& lenDomainItems();  // cboLLenDomain: "1", "3", "6"
    static const QStringList& versionItems();    // cboVersion: "A-Basic", "B-Extended"
    static const QStringList& firmwareItems();   // cboFirmVersion: "V.3.1.0", "V.43.1.x"
    // Captions of the two option pairs (also written into "RS_TCP").
    static const QStringList& rsTcpCaptions();       // optRS_TCP: "ASCII RS232", "ASCII TCP"
    static const QStringList& addressingCaptions();  // optLAddressing: "Neuron ID", "Subnet/Node"

    static constexpr int kMaxDevicesStored = 128;  // "NDevs" above this is cut on loading
    static constexpr int kFirmwareSerialOnly = 0;  // firmwareIndex() of "V.3.1.0"
    static constexpr int kFirmwareTcp = 1;         // firmwareIndex() of "V.43.1.x"

    // ---- Section "LON" (defaults are those of a missing key).
    QString Domain;                              // txtLDomain: hexadecimal text
    QString LenDomain = QStringLiteral("1");     // cboLLenDomain text: "1", "3" or "6"
    qint32 Subnet = 1;                           // txtLSubnet: 0..255
    qint32 Node = 1;                             // txtLNode: 0..127
    qint32 Addressing = 0;                       // optLAddressing: 0 Neuron-ID, 1 subnet/node
    QString TimeoutPoll = QStringLiteral("100"); // txtLTimeoutPollLon, milliseconds
    qint32 NDevs = 1;                            // number of devices as read (cut to 128; may be 0 or negative)
    QVector<LonDevice> Dispositivos;             // size max(NDevs, 0); device n is Dispositivos[n - 1]

    // ---- Section "ASCII" (the serial keys: AsciiSerialConfig).
    QString GatewayVersion = QStringLiteral("A-Basic");  // cboVersion text
    QString IP = QStringLiteral("192.168.100.246");      // txtIp
    QString NetMask = QStringLiteral("255.255.255.0");   // txtNetMask
    QString Gateway;                             // txtGateway, may stay empty
    qint32 Port = 5000;                          // txtPortASCII: 1..65535
    QString Nagle = QStringLiteral("0");         // not edited; carried through unchanged
    QString tmoutKeepAlive_sec = QStringLiteral("30");  // txtTimeoutKeepAlive: 0..65535 s
    qint32 RS_TCP = 0;                           // optRS_TCP: 0 "ASCII RS232", 1 "ASCII TCP"
    QString FwVersion = QStringLiteral("V.43.1.x");      // cboFirmVersion text

    // Values last loaded into the IP, mask, gateway and port boxes: an invalid
    // entry is replaced by them (the boxes' tags).
    QString IPTag, NetMaskTag, GatewayTag;
    qint32 PortTag = 5000;

    // ---- Flags.
    bool connectionChanged = false;  // connection or device data edited since load/save
    bool gridChanged = false;        // signal grid edited since load/save
    bool loading = false;            // set while the model is being filled: change handlers do nothing
    bool damaged = false;            // a project file was damaged when loaded: a save must come first

    LonConfig();

    // Marks the connection data changed, unless loading. Every edit of a
    // connection, LON or device control calls it.
    void markConnectionChanged() {
        if (!loading) connectionChanged = true;
    }
    void markGridChanged() {
        if (!loading) gridChanged = true;
    }

    // ---- Version limits (cboVersion). A version text beginning with "A" allows
    // 64 devices and ASCII addresses (and active points) up to 500; any other
    // text, including none, 128 and 4000.
    int maxDevices() const;
    int maxAddress() const;
    static int maxDevicesFor(const QString& version);
    static int maxAddressFor(const QString& version);
    // Window caption: "LON Configuracion - Max.Lon Dispositivos:64 Max.Regs.ASCII:500"
    // (the two words are the texts of their language keys).
    QString captionText() const;
    // cboVersion click: new version text; marks the connection data changed.
    // The caller then shows captionText() and the new column-13 help.
    void setGatewayVersion(const QString& version);

    // ---- Firmware (cboFirmVersion). 0 = "V.3.1.0": serial only; 1 = "V.43.1.x".
    // A text other than "V.3.1.0" counts as the second item.
    int firmwareIndex() const;
    static int firmwareIndexFor(const QString& text);
    // True when the TCP fields (IP, mask, gateway, port, keep-alive, the "ASCII
    // TCP" option, their labels and frame) are shown.
    bool tcpVisible() const { return firmwareIndex() == kFirmwareTcp; }
    // cboFirmVersion click: with "V.3.1.0" the transport is forced to "ASCII
    // RS232". Marks the connection data changed.
    void setFwVersion(const QString& version);

    // ---- List texts.
    QString baudText() const;      // item of Baudios, "" when out of range
    // "RS_TCP" as stored: "0 (ASCII RS232)" or "1 (ASCII TCP)".
    QString encodeRsTcp() const;
    // Device list item: text of "Dispositivo" followed by the number.
    static QString deviceListText(int n);

    // ---- Devices (1-based). Out-of-range numbers give an empty device.
    int deviceCount() const { return int(Dispositivos.size()); }
    LonDevice device(int n) const;
    LonDevice* devicePtr(int n);
    // Number of the device shown in the device fields (1-based, 0 = none).
    int currentDevice = 0;

    // ---- Persistence through the project INI routines.
    // Fills every member from LON.ini in the loading order; missing keys take
    // their defaults, a missing file gives a configuration of defaults. Clears
    // both change flags. Leaves the first device current (0 when there is none).
    void Carga_ConfLon();
    // Writes every key of both sections in the saving order.
    void Graba_ConfLon() const;

    // Devices dialog (cmdLDevices): refused with "PrimeroDebeGrabarLosCambios"
    // while a change flag is set; asks for the new count; writes "NDevs" at once
    // when valid and shows "MbusEstecambioaf". Returns true when the window must
    // close (it is reopened to load the new count).
    bool PideNumeroDispositivos();
};
