#include "Mbs6Download.h"

#include <QFile>

#include "DownloadWriter.h"
#include "Mbs6Config.h"
#include "Mbs6Grid.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
const QString kProtocol = QStringLiteral("MBS6");

QString reportHead(const Mbs6Download& d) {
    return QStringLiteral("Devs:") + QString::number(d.devices) + QStringLiteral(" ") + QStringLiteral(" Points:") +
           QString::number(d.points);
}
}  // namespace

int mbs6TimeoutInterFrame() { return LeeIniEntero(kProtocol, QStringLiteral("TimeoutInterFrame"), 10); }

Mbs6Download composeMbs6Download(const Mbs6Config& cfg, const SignalGrid& grid, int timeoutInterFrame,
                                 const QDateTime& at) {
    Mbs6Download d;

    // Selected units in list order; position 0 is the broadcast unit.
    QByteArray units;
    int position[Mbs6Config::kUnits + 1] = {0};
    for (int n = 1; n <= Mbs6Config::kUnits; ++n) {
        if (!cfg.unit(n).On) continue;
        units.append(char(n));
        position[n] = int(units.size());
    }
    d.devices = int(units.size());

    // Active rows of the broadcast unit and of selected units, in grid order.
    DownloadWriter points(8 * grid.Rows());
    for (int r = 1; r < grid.Rows(); ++r) {
        if (ValCelda(grid.cell(r, Mbs6Col::Activa)) == 0) continue;
        const qint64 unit = RedondeaPar(ValCelda(grid.cell(r, Mbs6Col::Disp)));
        if (unit < 0 || unit > Mbs6Config::kUnits) continue;
        if (unit > 0 && position[unit] == 0) {
            ++d.unitsOff;
            continue;
        }
        const double address = ValCelda(grid.cell(r, Mbs6Col::Add));
        const QString& dir = grid.cell(r, Mbs6Col::Direction);
        points.integer(address);
        points.integer(address);
        points.byte(qint64(position[unit]));
        points.byte(ValCelda(grid.cell(r, Mbs6Col::AD)));
        points.byte(qint64(dir == QLatin1String("R") ? 0 : dir == QLatin1String("W") ? 1 : 2));
        points.byte(ValCelda(grid.cell(r, Mbs6Col::Spontaneous)));
        ++d.points;
    }
    if (d.points == 0 || d.devices == 0) {
        d.message = Texto("NoEncontradoSenyales");
        return d;
    }

    DownloadWriter w(192 + d.devices + points.size());
    writeDownloadHeader(w, kProtocol, QStringLiteral("-V.1.0 "), at);
    writeSerialBlock(w, cfg, cfg.baudText());
    w.zeros(10);
    w.byte(qint64(0));
    w.longValue(qint64(19200));
    w.byte(qint64(0));
    w.byte(qint64(0));
    w.integer(Val(cfg.TimeoutPoll));
    w.integer(qint64(timeoutInterFrame));
    w.zeros(21);
    w.byte(qint64(d.devices));
    w.raw(units);
    w.integer(qint64(d.points));
    w.raw(points.bytes());
    if (points.faulted()) w.setFault(points.fault());
    finishDownload(w, d);
    return d;
}

int mbs6PuntosSinUnidad(const Mbs6Config& cfg, const SignalGrid& grid) {
    int n = 0;
    for (int r = 1; r < grid.Rows(); ++r) {
        if (ValCelda(grid.TextMatrix(r, Mbs6Col::Activa)) == 0) continue;
        const qint64 unit = RedondeaPar(ValCelda(grid.TextMatrix(r, Mbs6Col::Disp)));
        n += unit >= 1 && unit <= Mbs6Config::kUnits && !cfg.unit(int(unit)).On;
    }
    return n;
}

QString mbs6AvisoSinUnidad(int count) {
    return count > 0 ? Texto("PuntosUnidadesSinUso") + QString::number(count) : QString();
}

QString mbs6DownloadReport(const Mbs6Download& d, const QString& path) {
    const QString left = mbs6AvisoSinUnidad(d.unitsOff);
    return reportHead(d) + downloadReportTail(d, path) + (left.isEmpty() ? QString() : QLatin1Char('\r') + left);
}

QString mbs6DownloadPath() { return downloadPath(kProtocol); }

bool Genera_FicheroDescarga(const Mbs6Config& cfg, const SignalGrid& grid, const QDateTime& at) {
    prompts().setBusy(true);
    const Mbs6Download d =
        composeMbs6Download(cfg, grid, mbs6TimeoutInterFrame(), at.isValid() ? at : QDateTime::currentDateTime());
    const QString path = mbs6DownloadPath();
    // A file holding a cut value would configure the gateway wrongly: none is left behind.
    if (d.message.isEmpty() && !d.fault.isEmpty()) {
        QFile::remove(path);
        prompts().setBusy(false);
        Aviso(downloadErrorText(path, d.fault));
        return false;
    }
    const QString left = mbs6AvisoSinUnidad(d.unitsOff);
    return publishDownload(d, path, reportHead(d), left.isEmpty() ? QString() : QLatin1Char('\r') + left);
}
