#include "LonChecks.h"

#include <QSet>

#include "AnsiText.h"
#include "LonConfig.h"
#include "LonGrid.h"
#include "ModPilmoraASCII.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

QString NormalizaIP(const QString& text) {
    QString rest = text + QLatin1Char('.');
    QString out;
    int octets = 0;
    for (; octets < 4; ++octets) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0) break;
        const QString part = rest.left(dot).trimmed();
        if (part.isEmpty()) break;
        bool over = false;
        const qint16 v = CIntText(part, &over);
        if (over || v < 0 || v > 255) break;
        out += QString::number(v) + QLatin1Char('.');
        rest = rest.mid(dot + 1);
    }
    if (octets < 4) return QString();
    out.chop(1);
    return out;
}

// An empty text normalises to itself but is no address.
bool EsIPValida(const QString& text) { return !text.isEmpty() && NormalizaIP(text) == text; }

namespace {
// An address box: the entered text when valid, otherwise the message and the
// value loaded from the INI file.
QString leaveAddress(LonConfig& cfg, QString& field, const QString& tag, const QString& label, const QString& text) {
    const QString before = field;
    if (EsIPValida(text)) {
        field = text;
    } else {
        Aviso(label + text + Texto("incorrecta"));
        field = tag;
    }
    if (field != before) cfg.markConnectionChanged();
    return field;
}

template <typename T>
void store(LonConfig& cfg, T& field, const T& value) {
    if (field == value) return;
    field = value;
    cfg.markConnectionChanged();
}
}  // namespace

QString lonLeaveIp(LonConfig& cfg, const QString& text) {
    return leaveAddress(cfg, cfg.IP, cfg.IPTag, Texto("EtqIP"), text);
}

QString lonLeaveNetMask(LonConfig& cfg, const QString& text) {
    return leaveAddress(cfg, cfg.NetMask, cfg.NetMaskTag, Texto("EtqNetMask"), text);
}

QString lonLeaveGateway(LonConfig& cfg, const QString& text) {
    const QString t = trimSpaces(text);
    if (t.isEmpty()) {
        store(cfg, cfg.Gateway, t);
        return t;
    }
    return leaveAddress(cfg, cfg.Gateway, cfg.GatewayTag, Texto("EtqRouter"), t);
}

QString lonLeavePort(LonConfig& cfg, const QString& text) {
    const double v = Val(text);
    store(cfg, cfg.Port, (v < 1 || v > 65535) ? cfg.PortTag : CLng(v));
    return QString::number(cfg.Port);
}

QString lonLeaveKeepAlive(LonConfig& cfg, const QString& text) {
    const double v = Val(text);
    if (v >= 0 && v <= 65535) store(cfg, cfg.tmoutKeepAlive_sec, text);
    return cfg.tmoutKeepAlive_sec;
}

QString lonLeaveAsciiTimeout(LonConfig& cfg, const QString& text) {
    if (clampAsciiTimeout(cfg, text)) cfg.markConnectionChanged();
    return cfg.Tmout_ms;
}

QString lonLeaveLonSubnet(LonConfig& cfg, const QString& text) {
    store(cfg, cfg.Subnet, qBound<qint32>(0, CLngText(text), 255));
    return QString::number(cfg.Subnet);
}

QString lonLeaveLonNode(LonConfig& cfg, const QString& text) {
    store(cfg, cfg.Node, qBound<qint32>(0, CLngText(text), 127));
    return QString::number(cfg.Node);
}

QString lonLeaveDeviceField(LonConfig& cfg, int device, int field, const QString& text) {
    LonDevice* d = cfg.devicePtr(device);
    QString t = trimSpaces(text);
    if (!d) return t;
    switch (field) {
        case 0:
            t = (QStringLiteral("000000000000") + t).right(12);
            store(cfg, d->NId, t);
            return d->NId;
        case 1:
        case 2: {
            const double max = field == 1 ? 255 : 127;
            const double v = Val(t);
            if (cfg.Addressing == 1 && (v < 0 || v > max)) {
                Aviso(QString::fromLatin1(field == 1 ? "Device Subnet not valid" : "Device Node not valid") +
                      QStringLiteral(": ") + t);
                return field == 1 ? d->Sb : d->Nd;
            }
            store(cfg, field == 1 ? d->Sb : d->Nd, t);
            return t;
        }
        case 3:
            store(cfg, d->Nm, t);
            return t;
        default:
            return t;
    }
}

bool Valida_Puntos(const LonConfig& cfg, SignalGrid& grid) {
    const int nDevs = cfg.deviceCount();
    return Valida_Direcciones(grid, LonCol::Activa, LonCol::Add, cfg.maxAddress(), [&](int r, QString& message) {
        UpdateRow(grid, r);
        if (lonCellValue(grid.cell(r, LonCol::Snvt)) == kSnvtGatewayError) return 0;
        const double dev = lonCellValue(grid.cell(r, LonCol::Disp));
        if (dev >= 1 && dev <= nDevs) return 0;
        message = Texto("SoloValoresDispositivoEntre") + QStringLiteral(" 1") + Texto("y") + QString::number(nDevs);
        return int(LonCol::Disp);
    });
}

bool Valida_Dispositivos(const LonConfig& cfg) {
    QSet<QString> keys;
    const bool subnetNode = cfg.Addressing == 1;
    for (int n = 1; n <= cfg.deviceCount(); ++n) {
        const LonDevice d = cfg.device(n);
        if (!d.On) continue;
        const QString key = (subnetNode ? QLatin1Char('K') + d.Sb + QLatin1Char('-') + d.Nd : QLatin1Char('K') + d.NId).toLower();
        if (keys.contains(key)) {
            Aviso(QStringLiteral("Two devices have same address ") +
                  (subnetNode ? QStringLiteral("Subnet/Node:") + d.Sb + QLatin1Char('/') + d.Nd
                              : QStringLiteral("Neuron-ID:") + d.NId));
            return false;
        }
        keys.insert(key);
    }
    return true;
}
