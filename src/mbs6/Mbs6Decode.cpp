#include "Mbs6Decode.h"

void decodeMbs6Body(DownloadReader& r, DecodedDownload& d) {
    const QString inBlock = QStringLiteral("the MBS6 block");
    DecodedBlock bus{QStringLiteral("bus"), {}};
    auto num = [&](const char* name, qint64 v, int at) {
        if (!r.stopped()) bus.fields.append({QString::fromLatin1(name), QString::number(v), at});
    };
    expectFiller(r, d, 11, 0, QStringLiteral("the zero bytes at 144"));
    int at = r.pos();
    num("busBaud", r.longValue(inBlock), at);
    expectFiller(r, d, 2, 0, QStringLiteral("the zero bytes at 159"));
    at = r.pos();
    num("pollTimeout", r.integer(inBlock), at);
    at = r.pos();
    num("timeoutInterFrame", r.integer(inBlock), at);
    expectFiller(r, d, 21, 0, QStringLiteral("the zero bytes at 165"));
    d.blocks.append(bus);
    if (r.stopped()) return;

    const int count = r.byte(QStringLiteral("the unit count"));
    QVector<int> units;
    for (int i = 1; i <= count && !r.stopped(); ++i) {
        const int unit = r.byte(QStringLiteral("the unit table"));
        if (r.stopped()) return;
        units.append(unit);
        d.devices.append({i, QString::number(unit), -1});
    }
    at = r.pos();
    const int points = r.integer(QStringLiteral("the point count"));
    if (r.stopped()) return;
    if (points < 0) return r.stop(QStringLiteral("point count %1").arg(points), at);
    d.points.reserve(qMin(points, r.left() / 8));
    for (int k = 0; k < points; ++k) {
        // Named only when the record is cut short: the reads below cannot fail then.
        if (r.left() < 8) return r.need(8, QStringLiteral("point record %1").arg(k + 1)), void();
        const QString what;
        DecodedPoint p;
        p.kind = PointKind::Point;
        p.address = r.integer(what);
        const int again = r.integer(what);
        const int position = r.byte(what);
        p.ad = r.byte(what);
        p.direction = r.byte(what);
        p.spontaneous = r.byte(what);
        if (again != p.address)
            d.faults << QStringLiteral("point %1 has addresses %2 and %3").arg(k + 1).arg(p.address).arg(again);
        if (position > units.size())
            d.faults << QStringLiteral("point %1 (address %2) names unit position %3 of %4")
                            .arg(k + 1)
                            .arg(p.address)
                            .arg(position)
                            .arg(units.size());
        p.device = position == 0 || position > units.size() ? 0 : units[position - 1];
        d.points.append(p);
    }
}
