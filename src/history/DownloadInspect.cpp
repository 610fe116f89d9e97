#include "DownloadInspect.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include "LonDecode.h"
#include "Mbs6Decode.h"
#include "mIdioma.h"

DecodedDownload decodeDownload(const QByteArray& file) {
    DecodedDownload d;
    DownloadReader r(file);
    decodeDownloadFrame(r, file, d);
    if (!r.stopped()) {
        if (d.protocol == QLatin1String("LON"))
            decodeLonBody(r, d);
        else if (d.protocol == QLatin1String("MBS6"))
            decodeMbs6Body(r, d);
        else
            r.stop(QStringLiteral("unknown protocol ") + d.protocol, 4 + 17);
    }
    finishDecode(r, d);
    return d;
}

namespace {
// Field values that are text, not numbers, in the JSON form.
bool textField(const QString& name) {
    static const QStringList kText{QStringLiteral("protocol"), QStringLiteral("marker"), QStringLiteral("generated"),
                                   QStringLiteral("domainId"), QStringLiteral("ip"),     QStringLiteral("netMask"),
                                   QStringLiteral("gateway")};
    return kText.contains(name);
}

QString hex(quint32 v) { return QString::number(v, 16).toUpper(); }

}  // namespace

QStringList decodeVerdict(const DecodedDownload& d) {
    QStringList v;
    if (d.size >= 4)
        v << (d.checksumOk
                  ? Texto("DecChecksumBien") + hex(d.storedChecksum)
                  : Texto("DecChecksumMal") + hex(d.storedChecksum) + QStringLiteral(", ") + hex(d.computedChecksum));
    for (const QString& f : d.faults)
        if (!f.startsWith(QLatin1String("checksum "))) v << Texto("DecDanyado") + f;
    v << (d.complete ? Texto("DecLeidoEntero")
                     : Texto("DecParado") + QString::number(d.stopOffset) + QStringLiteral(": ") + d.stopReason);
    return v;
}

QString pointLine(const DecodedPoint& p) {
    QString line = QString::number(p.address);
    for (const auto& f : p.fields()) line += QLatin1Char(' ') + f.first + QLatin1Char('=') + f.second;
    return line;
}

QString decodedText(const DecodedDownload& d, const QString& name) {
    QStringList out;
    out << name + QStringLiteral(": ") + QString::number(d.size) + QStringLiteral(" bytes");
    for (const DecodedBlock& b : d.blocks) {
        out << b.name;
        for (const DecodedField& f : b.fields)
            out << QStringLiteral("  %1 %2").arg(f.name + QLatin1Char(':'), -20).arg(f.value);
    }
    if (!d.devices.isEmpty() || d.complete) {
        out << QStringLiteral("devices: ") + QString::number(d.devices.size());
        for (const DecodedDevice& dev : d.devices) {
            QString line = QStringLiteral("  %1 %2").arg(dev.position, 3).arg(dev.address);
            if (d.protocol == QLatin1String("LON"))
                line += QStringLiteral(" errorPoint=") + QString::number(dev.errorPoint);
            out << line;
        }
    }
    if (!d.points.isEmpty() || d.complete) {
        QString head = QStringLiteral("points: ") + QString::number(d.points.size());
        if (d.readable >= 0) head += QStringLiteral(" readable: ") + QString::number(d.readable);
        out << head;
        for (const DecodedPoint& p : d.points) out << QStringLiteral("  ") + pointLine(p);
    }
    out << decodeVerdict(d);
    return out.join(QLatin1Char('\n'));
}

QByteArray decodedJson(const DecodedDownload& d, const QString& name) {
    QJsonObject o;
    o.insert(QStringLiteral("file"), name);
    o.insert(QStringLiteral("size"), d.size);
    o.insert(QStringLiteral("protocol"), d.protocol);
    o.insert(QStringLiteral("checksum"), QJsonObject{{QStringLiteral("stored"), hex(d.storedChecksum)},
                                                     {QStringLiteral("computed"), hex(d.computedChecksum)},
                                                     {QStringLiteral("ok"), d.checksumOk}});
    o.insert(QStringLiteral("complete"), d.complete);
    o.insert(QStringLiteral("stop"), d.complete ? QJsonValue()
                                                : QJsonValue(QJsonObject{{QStringLiteral("offset"), d.stopOffset},
                                                                         {QStringLiteral("reason"), d.stopReason}}));
    o.insert(QStringLiteral("faults"), QJsonArray::fromStringList(d.faults));
    QJsonObject blocks;
    for (const DecodedBlock& b : d.blocks) {
        QJsonObject fields;
        for (const DecodedField& f : b.fields)
            fields.insert(f.name, textField(f.name) ? QJsonValue(f.value) : QJsonValue(f.value.toLongLong()));
        blocks.insert(b.name, fields);
    }
    o.insert(QStringLiteral("blocks"), blocks);
    QJsonArray devices;
    for (const DecodedDevice& dev : d.devices) {
        QJsonObject j{{QStringLiteral("position"), dev.position}, {QStringLiteral("address"), dev.address}};
        if (d.protocol == QLatin1String("LON")) j.insert(QStringLiteral("errorPoint"), dev.errorPoint);
        devices.append(j);
    }
    o.insert(QStringLiteral("devices"), devices);
    if (d.readable >= 0) o.insert(QStringLiteral("readable"), d.readable);
    QJsonArray points;
    for (const DecodedPoint& p : d.points) {
        QJsonObject j{{QStringLiteral("address"), p.address}};
        for (const auto& f : p.fields()) {
            bool number = false;
            const int v = f.second.toInt(&number);
            j.insert(f.first, number ? QJsonValue(v) : QJsonValue(f.second));
        }
        points.append(j);
    }
    o.insert(QStringLiteral("points"), points);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

namespace {
// Every field of the header and blocks but the generation date, as "block.name".
QMap<QString, QString> settings(const DecodedDownload& d) {
    QMap<QString, QString> m;
    for (const DecodedBlock& b : d.blocks)
        for (const DecodedField& f : b.fields)
            if (f.name != QLatin1String("generated")) m.insert(b.name + QLatin1Char('.') + f.name, f.value);
    if (d.readable >= 0) m.insert(QStringLiteral("points.readable"), QString::number(d.readable));
    return m;
}

QString deviceText(const DecodedDevice& dev, bool lon) {
    return lon ? dev.address + QStringLiteral(" errorPoint=") + QString::number(dev.errorPoint) : dev.address;
}

// Points by address; a repeated address keys as "address#2" so none is lost.
QMap<QString, const DecodedPoint*> byAddress(const DecodedDownload& d) {
    QMap<QString, const DecodedPoint*> m;
    for (const DecodedPoint& p : d.points) {
        QString key = QStringLiteral("%1").arg(p.address, 6, 10, QLatin1Char('0'));
        for (int n = 2; m.contains(key); ++n)
            key = QStringLiteral("%1#%2").arg(p.address, 6, 10, QLatin1Char('0')).arg(n);
        m.insert(key, &p);
    }
    return m;
}
}  // namespace

DownloadDiff diffDownloads(const DecodedDownload& a, const DecodedDownload& b) {
    DownloadDiff diff;
    const QMap<QString, QString> sa = settings(a), sb = settings(b);
    QStringList names = sa.keys();
    for (const QString& n : sb.keys())
        if (!sa.contains(n)) names << n;
    for (const QString& n : names)
        if (sa.value(n) != sb.value(n) || sa.contains(n) != sb.contains(n))
            diff.fields.append({n, sa.value(n), sb.value(n)});

    const bool lonA = a.protocol == QLatin1String("LON"), lonB = b.protocol == QLatin1String("LON");
    for (int i = 0; i < qMax(a.devices.size(), b.devices.size()); ++i) {
        const QString before = i < a.devices.size() ? deviceText(a.devices[i], lonA) : QString();
        const QString after = i < b.devices.size() ? deviceText(b.devices[i], lonB) : QString();
        if (before != after) diff.devices.append({QStringLiteral("device ") + QString::number(i + 1), before, after});
    }

    const auto pa = byAddress(a), pb = byAddress(b);
    for (auto it = pa.cbegin(); it != pa.cend(); ++it) {
        const DecodedPoint* other = pb.value(it.key());
        if (!other) {
            diff.removed.append(*it.value());
            continue;
        }
        const auto fa = it.value()->fields(), fb = other->fields();
        PointChange change;
        change.address = it.value()->address;
        QMap<QString, QString> mb;
        for (const auto& f : fb) mb.insert(f.first, f.second);
        for (const auto& f : fa) {
            if (mb.value(f.first) != f.second) change.fields.append({f.first, f.second, mb.value(f.first)});
            mb.remove(f.first);
        }
        for (auto m = mb.cbegin(); m != mb.cend(); ++m) change.fields.append({m.key(), QString(), m.value()});
        if (!change.fields.isEmpty()) diff.changed.append(change);
    }
    for (auto it = pb.cbegin(); it != pb.cend(); ++it)
        if (!pa.contains(it.key())) diff.added.append(*it.value());
    return diff;
}

QString diffText(const DownloadDiff& diff) {
    QStringList out;
    auto change = [](const FieldChange& c) {
        return c.name + QStringLiteral(": ") + (c.before.isEmpty() ? QStringLiteral("-") : c.before) +
               QStringLiteral(" -> ") + (c.after.isEmpty() ? QStringLiteral("-") : c.after);
    };
    for (const FieldChange& c : diff.fields) out << change(c);
    for (const FieldChange& c : diff.devices) out << change(c);
    for (const DecodedPoint& p : diff.removed) out << QStringLiteral("- ") + pointLine(p);
    for (const DecodedPoint& p : diff.added) out << QStringLiteral("+ ") + pointLine(p);
    for (const PointChange& p : diff.changed) {
        QStringList parts;
        for (const FieldChange& c : p.fields) parts << change(c);
        out << QStringLiteral("~ ") + QString::number(p.address) + QLatin1Char(' ') + parts.join(QStringLiteral(", "));
    }
    out << diffSummary(diff);
    return out.join(QLatin1Char('\n'));
}

QString diffSummary(const DownloadDiff& diff) {
    if (diff.same()) return Texto("DifIguales");
    QStringList parts;
    if (!diff.added.isEmpty()) parts << Texto("DifAnyadidos") + QString::number(diff.added.size());
    if (!diff.removed.isEmpty()) parts << Texto("DifQuitados") + QString::number(diff.removed.size());
    if (!diff.changed.isEmpty()) parts << Texto("DifCambiados") + QString::number(diff.changed.size());
    if (!diff.devices.isEmpty()) parts << Texto("DifDispositivos") + QString::number(diff.devices.size());
    if (!diff.fields.isEmpty()) {
        QStringList names;
        for (const FieldChange& c : diff.fields) names << c.name;
        parts << Texto("DifAjustes") + names.join(QStringLiteral(", "));
    }
    return parts.join(QStringLiteral("; "));
}
