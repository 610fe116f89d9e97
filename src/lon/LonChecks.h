// Checks of the LON configuration: the IP address check, the repairs the editor
// applies when the user leaves a field, and the two checks that stop a save.
// Messages go through the prompts seam (the tool's box, one "&Aceptar" button).
#pragma once

#include <QString>

class LonConfig;
class SignalGrid;

// Canonical dotted form of the first four octets ("" when four cannot be read).
QString NormalizaIP(const QString& text);
// True when the text is already a canonical IPv4 address (NormalizaIP(t) == t).
bool EsIPValida(const QString& text);

// ---- Leaving a field. Each takes the text in the box, stores the accepted
// value in the model, and returns the text the box must show afterwards.

// Invalid address: the label ("EtqIP") + text + "incorrecta", then the loaded value (IPTag).
QString lonLeaveIp(LonConfig& cfg, const QString& text);
// The same with "NetMask: ".
QString lonLeaveNetMask(LonConfig& cfg, const QString& text);
// Trimmed first; empty is accepted; otherwise as the IP with "Gateway: ".
QString lonLeaveGateway(LonConfig& cfg, const QString& text);
// Outside 1..65535: back to PortTag, no message.
QString lonLeavePort(LonConfig& cfg, const QString& text);
// Within 0..65535 taken as typed; otherwise the previous value is shown again.
QString lonLeaveKeepAlive(LonConfig& cfg, const QString& text);
// Clamped into 0..2000 and written back.
QString lonLeaveAsciiTimeout(LonConfig& cfg, const QString& text);
// The gateway's own subnet clamped into 0..255, node into 0..127.
QString lonLeaveLonSubnet(LonConfig& cfg, const QString& text);
QString lonLeaveLonNode(LonConfig& cfg, const QString& text);
// Device field 0..3 (Neuron-ID, subnet, node, name) of device `device` (1-based).
// Trimmed; the Neuron-ID is left-padded with zeros / cut to its last 12
// characters; with subnet/node addressing a subnet outside 0..255 ("Device
// Subnet not valid: ...") or node outside 0..127 ("Device Node not valid: ...")
// is refused and the device table's value comes back.
QString lonLeaveDeviceField(LonConfig& cfg, int device, int field, const QString& text);

// ---- Save checks. On a fault: the message is shown, the offending cell becomes
// the grid's current cell and whole selection (Row/Col, RowSel/ColSel), and the
// result is false. The editor then scrolls that row to the top and focuses the grid.

// Every active row (col 17 > 0), in order: its direction is refreshed
// (UpdateRow); the device must be 1..NDevs unless SNVT is -2
// ("SoloValoresDispositivoEntre", column 1); the address must be 1..maximum
// ("AddressDebeSerNumeroEntre", column 13) and not used by an earlier active row
// ("Add:<n>repetida", column 13).
bool Valida_Puntos(const LonConfig& cfg, SignalGrid& grid);
// Devices in use must have distinct addresses (Neuron-ID, ignoring case, or
// subnet/node as stored): "Two devices have same address Neuron-ID:..." or
// "...Subnet/Node:s/n".
bool Valida_Dispositivos(const LonConfig& cfg);
