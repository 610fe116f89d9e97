#include "AppGlobals.h"

#include <QDir>

namespace {
AppGlobals g_app;

// Systems that the other gateway models of the family join to the ASCII side.
// Only LON (60) and MBS6 (77) have an editor in this tool.
const struct {
    int slot;
    const char* name;
} kOtherSystems[] = {
    {2, "Modbus RTU"},  {3, "Modbus TCP"},   {4, "BACnet IP"},    {5, "BACnet MSTP"}, {6, "KNX"},
    {7, "M-Bus"},       {8, "DALI"},         {9, "EnOcean"},      {10, "Profibus"},   {11, "Profinet"},
    {12, "CANopen"},    {13, "DeviceNet"},   {14, "EtherNetIP"},  {15, "OPC UA"},     {16, "MQTT"},
    {17, "SNMP"},       {18, "DMX512"},      {19, "Zigbee"},      {20, "Z-Wave"},     {21, "Wireless M-Bus"},
    {22, "IEC 60870-5-101"}, {23, "IEC 60870-5-104"}, {24, "IEC 61850"}, {25, "DNP3"}, {26, "Modbus ASCII"},
    {27, "EtherCAT"},   {28, "Sercos"},      {29, "Interbus"},    {30, "AS-Interface"}, {31, "HART"},
    {32, "IO-Link"},    {33, "SMI"},  {34, "X10"},         {35, "OpenADR"},    {36, "OpenTherm"},
    {37, "eBus"},       {38, "Thread"},      {39, "Matter"},      {40, "Bluetooth Mesh"}, {41, "LoRaWAN"},
    {42, "Wi-SUN"},     {43, "NB-IoT"},      {44, "Fire Panel"},
};
}  // namespace

AppGlobals& app() { return g_app; }

void resetApp() {
    const QString folder = g_app.appFolder;
    g_app = AppGlobals();
    g_app.appFolder = folder;
}

void LlenaProtocolos() {
    auto& a = app();
    a.Protocolos = QVector<QString>(kNumProtocolos);
    a.ColProtocolos.clear();
    a.Protocolos[1] = "Tester";
    for (const auto& s : kOtherSystems) a.Protocolos[s.slot] = QString::fromLatin1(s.name);
    a.Protocolos[kSlotLon] = "LON";
    a.Protocolos[kSlotMbs6] = "MBS6";
    for (int i = 1; i < kNumProtocolos; ++i) {
        const QString& n = a.Protocolos[i];
        // A duplicate name keeps its first slot.
        if (!n.isEmpty() && !a.ColProtocolos.contains(n.toUpper())) a.ColProtocolos.insert(n.toUpper(), qint16(i));
    }
    a.Protocolos[0] = "ASCII";
}

int slotDeProtocolo(const QString& name) {
    auto it = app().ColProtocolos.constFind(name.toUpper());
    return it == app().ColProtocolos.constEnd() ? -1 : *it;
}

QString rutaAplicacion(const QString& name) {
    return QDir::toNativeSeparators(app().appFolder + QLatin1Char('/') + name);
}
