#include "LonDownload.h"

#include <QHash>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "DownloadWriter.h"
#include "LonConfig.h"
#include "LonGrid.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
const QString kProtocol = QStringLiteral("LON");

// What the generator needs of one grid row, read once in grid order (the
// slots then visit rows device by device; reading the cells in row order keeps
// that walk away from the scattered cell texts).
struct RowView {
    bool active = false;
    bool readable = false;  // NV access "R" or "RW"
    bool readWrite = false;
    int device = 0;
    int snvt = 0;
    int direction = 2;  // 0 "R", 1 "W", 2 anything else
    double snvtValue = 0, address = 0;
    double idx = 0, offset = 0, dataType = 0, filter = 0, a = 0, b = 0, c = 0;
    double ad = 0, spontaneous = 0;
};

bool isCommError(int snvt) { return snvt == kSnvtDeviceError || snvt == kSnvtGatewayError; }

double cell(const SignalGrid& g, int r, int c) { return lonCellValue(g.cell(r, c)); }
int cellInt(const SignalGrid& g, int r, int c) { return CInt(cell(g, r, c)); }
}  // namespace

LonTuning LonTuning::fromIni() {
    LonTuning t;
    t.ltaRqRpTimeout = LeeIniEntero(kProtocol, "ltaRqRpTimeout", t.ltaRqRpTimeout);
    t.lnkTimeoutMs = LeeIniEntero(kProtocol, "lnkTimeoutMs", t.lnkTimeoutMs);
    t.lnkRetries = LeeIniEntero(kProtocol, "lnkRetries", t.lnkRetries);
    t.ssResetTimeMs = LeeIniEntero(kProtocol, "ssResetTimeMs", t.ssResetTimeMs);
    t.resetTimeMs = LeeIniEntero(kProtocol, "resetTimeMs", t.resetTimeMs);
    t.lonRetries = LeeIniEntero(kProtocol, "lonRetries", t.lonRetries);
    t.targetSubnet = LeeIniEntero(kProtocol, "targetSubnet", t.targetSubnet);
    return t;
}

LonDownload composeLonDownload(const LonConfig& cfg, const SignalGrid& grid, const LonTuning& tuning,
                               const QDateTime& at) {
    LonDownload d;

    // Devices in use, in list order; position 0 is the gateway itself.
    QVector<int> selected;
    QHash<int, int> position;
    for (int n = 1; n <= cfg.deviceCount(); ++n) {
        if (!cfg.device(n).On) continue;
        selected.append(n);
        position.insert(n, int(selected.size()));
    }
    d.devices = int(selected.size());

    const int lastRow = grid.Rows() - 1;
    QVector<RowView> rows(lastRow + 1);
    for (int r = 1; r <= lastRow; ++r) {
        RowView& v = rows[r];
        v.active = cell(grid, r, LonCol::Activa) != 0;
        if (!v.active) continue;
        const QString& access = grid.cell(r, LonCol::NvAccess);
        v.readWrite = access == QLatin1String("RW");
        v.readable = v.readWrite || access == QLatin1String("R");
        v.device = cellInt(grid, r, LonCol::Disp);
        v.snvtValue = cell(grid, r, LonCol::Snvt);
        v.snvt = CInt(v.snvtValue);
        v.address = cell(grid, r, LonCol::Add);
        v.idx = cell(grid, r, LonCol::Idx);
        v.offset = cell(grid, r, LonCol::Offset);
        v.dataType = cell(grid, r, LonCol::DataType);
        v.filter = cell(grid, r, LonCol::Filter);
        v.a = cell(grid, r, LonCol::A);
        v.b = cell(grid, r, LonCol::B);
        v.c = cell(grid, r, LonCol::C);
        v.ad = cell(grid, r, LonCol::AD);
        v.spontaneous = cell(grid, r, LonCol::Spontaneous);
        const QString& dir = grid.cell(r, LonCol::Direction);
        v.direction = dir == QLatin1String("R") ? 0 : dir == QLatin1String("W") ? 1 : 2;
    }

    // Readable points first, device by device; every selected device needs one.
    // One pass sorts the rows by device position, keeping grid order within one.
    QVector<QVector<int>> readableOf(d.devices);
    for (int r = 1; r <= lastRow; ++r) {
        const RowView& v = rows[r];
        if (!v.active) continue;
        const int pos = position.value(v.device, 0);
        if (pos == 0) continue;
        if (v.readWrite) ++d.readWrite;
        if (v.readable && !isCommError(v.snvt)) readableOf[pos - 1].append(r);
    }
    QVector<int> slotRows;
    slotRows.reserve(lastRow);
    for (int i = 0; i < d.devices; ++i) {
        if (readableOf[i].isEmpty()) {
            d.outcome = LonDownload::NoDeviceInputs;
            d.failedDevice = selected[i];
            d.message = Texto("NoSenyalesEntradaDispositivo") + QString::number(selected[i]) +
                        Texto("RevisarConfiguracionODesactivarDispositivo");
            return d;
        }
        slotRows += readableOf[i];
    }
    d.readable = int(slotRows.size());

    // Then the write-only and error points of selected devices and the gateway.
    int commErrors = 0;
    for (int r = 1; r <= lastRow; ++r) {
        const RowView& v = rows[r];
        if (!v.active || (v.readable && v.snvt >= 0)) continue;
        if (v.device != 0 && !position.contains(v.device)) continue;
        slotRows.append(r);
        if (isCommError(v.snvt)) ++commErrors;
    }
    d.total = int(slotRows.size());
    d.writes = d.total - d.readable - commErrors;

    const int maxPoints = cfg.maxAddress();
    if (d.total == 0) {
        d.outcome = LonDownload::NoSignals;
        d.message = Texto("NoEncontradoSenyales");
        return d;
    }
    if (d.total > maxPoints) {
        d.outcome = LonDownload::TooManyPoints;
        d.message = Texto("DemasiadosPuntos") + QString::number(d.total) + QStringLiteral(" Max.") +
                    QString::number(maxPoints);
        return d;
    }

    DownloadWriter w(256 + 8 * d.devices + 24 * d.total + 121);

    // Error-point addresses come from the error rows among the slots.
    QVector<double> deviceErrorPoint(d.devices, -1);
    double gatewayErrorPoint = -1;
    for (int r : slotRows) {
        const int snvt = rows[r].snvt;
        if (!isCommError(snvt)) continue;
        const double addr = rows[r].address;
        if (snvt == kSnvtGatewayError) {
            gatewayErrorPoint = addr;
        } else {
            const int pos = position.value(rows[r].device, 0);
            if (pos >= 1)
                deviceErrorPoint[pos - 1] = addr;
            else
                w.setFault(QStringLiteral("Subscript out of range"));  // the gateway has no device record
        }
    }

    const int fw = cfg.firmwareIndex();
    writeDownloadHeader(
        w, kProtocol, fw == LonConfig::kFirmwareSerialOnly ? QStringLiteral("-V.1.0 ") : QStringLiteral("-V.2.0 "), at);
    writeSerialBlock(w, cfg, cfg.baudText());
    w.byte(qint64(cfg.RS_TCP != 0 ? 1 : 0));
    w.spaces(9);

    // The gateway's LON side.
    w.byte(qint64(cfg.Subnet));
    w.byte(qint64(cfg.Node));
    w.hexId6(cfg.Domain);
    w.byte(Val(cfg.LenDomain));
    w.byte(qint64(tuning.ltaRqRpTimeout));
    w.integer(qint64(tuning.lnkTimeoutMs));
    w.integer(qint64(0));
    w.byte(qint64(tuning.lnkRetries));
    w.integer(qint64(tuning.ssResetTimeMs));
    w.longValue(Val(cfg.TimeoutPoll));
    w.integer(qint64(tuning.resetTimeMs));
    w.byte(qint64(cfg.Addressing == 1 ? 1 : 0));
    w.integer(gatewayErrorPoint);
    w.byte(qint64(0));
    w.zeros(3);
    w.byte(qint64(qMin(tuning.lonRetries, 11)));
    w.byte(qint64(tuning.targetSubnet));
    w.zeros(8);

    // Devices.
    w.integer(qint64(d.devices));
    for (int i = 0; i < d.devices; ++i) {
        const LonDevice dev = cfg.device(selected[i]);
        if (cfg.Addressing == 1) {
            w.byte(Val(dev.Sb));
            w.byte(Val(dev.Nd));
            w.zeros(4);
        } else {
            w.hexId6(dev.NId);
        }
        w.integer(deviceErrorPoint[i]);
    }

    // Network variables, one per slot.
    w.integer(qint64(d.readable));
    w.integer(qint64(d.total));
    for (int r : slotRows) {
        const RowView& v = rows[r];
        if (isCommError(v.snvt)) {
            w.zeros(17);
            continue;
        }
        w.integer(qint64(position.value(v.device, 0) - 1));
        w.integer(v.idx);
        w.byte(v.offset);
        w.byte(v.dataType);
        w.byte(v.filter);
        w.integer(v.a);
        w.integer(v.b);
        w.integer(v.c);
        w.integer(v.snvtValue);
        w.integer(v.address);
    }

    // ASCII points, same order.
    w.integer(qint64(d.total));
    for (int k = 0; k < slotRows.size(); ++k) {
        const RowView& v = rows[slotRows[k]];
        w.integer(v.address);
        w.integer(qint64(isCommError(v.snvt) ? -1 : k));
        w.byte(v.ad);
        w.byte(qint64(v.direction));
        w.byte(v.spontaneous);
    }

    if (fw == LonConfig::kFirmwareTcp) {
        w.nulText(cfg.IP, 16);
        w.nulText(cfg.NetMask, 16);
        w.nulText(cfg.Gateway, 16);
        w.longValue(qint64(cfg.Port));
        w.byte(qint64(Val(cfg.Nagle) != 0 ? 1 : 0));
        w.longValue(qMax<qint64>(0, RedondeaPar(Val(cfg.tmoutKeepAlive_sec))));
        w.zeros(64);
    }

    finishDownload(w, d);
    return d;
}

namespace {
// "Devs:", D, " ", " LON-> Tot:", S, " R:", R, " W:", W, " RW:", the RW count.
QString reportHead(const LonDownload& d) {
    return QStringLiteral("Devs:") + QString::number(d.devices) + QStringLiteral(" ") + QStringLiteral(" LON-> Tot:") +
           QString::number(d.total) + QStringLiteral(" R:") + QString::number(d.readable) + QStringLiteral(" W:") +
           QString::number(d.writes) + QStringLiteral(" RW:") + QString::number(d.readWrite);
}
}  // namespace

QString lonDownloadPath() { return downloadPath(kProtocol); }

bool Genera_FicheroDescarga(const LonConfig& cfg, const SignalGrid& grid, const QDateTime& at) {
    prompts().setBusy(true);
    const LonDownload d =
        composeLonDownload(cfg, grid, LonTuning::fromIni(), at.isValid() ? at : QDateTime::currentDateTime());
    return publishDownload(d, lonDownloadPath(), reportHead(d));
}
