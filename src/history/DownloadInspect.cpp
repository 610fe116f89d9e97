#include "DownloadInspect.h"

#include <QMap>
#include <algorithm>
#include <charconv>
#include <string>

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

// A point's fields in the order decode prints them; the variable's fields
// (nvIndex to snvt) only for a network variable.
enum Field { Device, Kind, NvIndex, Offset, DataType, A, B, C, Filter, Snvt, Direction, Spontaneous, Ad, FieldCount };
constexpr const char* kFieldName[FieldCount] = {"device", "kind",   "nvIndex", "offset",    "dataType",    "a", "b",
                                                "c",      "filter", "snvt",    "direction", "spontaneous", "ad"};
// The same fields in the order of their names: the JSON form's order, and the
// order of fields only the second side of a comparison has.
constexpr Field kByName[FieldCount] = {A,      Ad,   B,       C,      DataType, Device,     Direction,
                                       Filter, Kind, NvIndex, Offset, Snvt,     Spontaneous};

bool has(const DecodedPoint& p, Field f) { return p.kind == PointKind::Nv || f < NvIndex || f > Snvt; }

// The field as a number: the kind by its place, the direction by its byte.
int fieldNumber(const DecodedPoint& p, Field f) {
    switch (f) {
        case Device:
            return p.device;
        case Kind:
            return int(p.kind);
        case NvIndex:
            return p.nvIndex;
        case Offset:
            return p.offset;
        case DataType:
            return p.dataType;
        case A:
            return p.a;
        case B:
            return p.b;
        case C:
            return p.c;
        case Filter:
            return p.filter;
        case Snvt:
            return p.snvt;
        case Direction:
            return p.direction;
        case Spontaneous:
            return p.spontaneous;
        case Ad:
        case FieldCount:
            break;
    }
    return p.ad;
}

// The kind and the three known directions are text, every other value a number.
const char* textValue(const DecodedPoint& p, Field f) {
    static constexpr const char* kDirection[] = {"R", "W", "RW"};
    if (f == Kind) return pointKindName(p.kind);
    if (f == Direction && p.direction >= 0 && p.direction <= 2) return kDirection[p.direction];
    return nullptr;
}

// A point's text, built in place: thousands of points are printed at a time
// and the text of one is bounded (fixed names, numbers of at most 11 characters).
class PointText {
public:
    void put(char c) { *m_p++ = c; }
    void put(const char* s) {
        while (*s) *m_p++ = *s++;
    }
    void blanks(int n) { m_p = std::fill_n(m_p, n, ' '); }
    void number(qint64 v) { m_p = std::to_chars(m_p, m_p + 24, v).ptr; }
    void value(const DecodedPoint& p, Field f) {
        if (const char* t = textValue(p, f))
            put(t);
        else
            number(fieldNumber(p, f));
    }
    void appendTo(std::string& out) const { out.append(m_b, size_t(m_p - m_b)); }
    QString string() const { return QString::fromLatin1(m_b, m_p - m_b); }

private:
    char m_b[1024];
    char* m_p = m_b;
};

QString valueText(const DecodedPoint& p, Field f) {
    PointText t;
    t.value(p, f);
    return t.string();
}

// "1001 device=1 kind=nv ...".
PointText pointText(const DecodedPoint& p, const char* indent = "") {
    PointText t;
    t.put(indent);
    t.number(p.address);
    for (int i = 0; i < FieldCount; ++i) {
        const Field f = Field(i);
        if (!has(p, f)) continue;
        t.put(' ');
        t.put(kFieldName[f]);
        t.put('=');
        t.value(p, f);
    }
    return t;
}

// JSON written by hand in the indented layout: members in the order given
// (callers give them by name), four blanks a level, one member a line, an
// empty container's brackets on two lines.
class JsonWriter {
public:
    explicit JsonWriter(qsizetype reserve) { m_out.reserve(size_t(reserve)); }
    QByteArray take() const { return QByteArray(m_out.data(), qsizetype(m_out.size())); }
    void begin(char open) {
        m_out += open;
        m_out += '\n';
        m_first.append(true);
    }
    void end(char close) {
        if (!m_first.takeLast()) m_out += '\n';
        m_out.append(size_t(4 * m_first.size()), ' ');
        m_out += close;
        if (m_first.isEmpty()) m_out += '\n';
    }
    // Starts an array element, or an object member with its name.
    void item(const char* key = nullptr) {
        if (!m_first.last()) m_out += ",\n";
        m_first.last() = false;
        m_out.append(size_t(4 * m_first.size()), ' ');
        if (!key) return;
        m_out += '"';
        m_out += key;
        m_out += "\": ";
    }
    void item(const QString& key) {
        item();
        string(key);
        m_out += ": ";
    }
    void number(qint64 v) {
        char buf[24];
        m_out.append(buf, size_t(std::to_chars(buf, buf + sizeof buf, v).ptr - buf));
    }
    void boolean(bool v) { m_out += v ? "true" : "false"; }
    void null() { m_out += "null"; }
    // Controls, quote and backslash escaped, the rest UTF-8; a lone surrogate
    // (no character of its own) as \uXXXX.
    void string(QStringView s) {
        static constexpr char kHex[] = "0123456789abcdef";
        m_out += '"';
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t u = s[i].unicode();
            if (u >= 0x20 && u < 0x80 && u != '"' && u != '\\') {
                m_out += char(u);
                continue;
            }
            const char* named = u == '"'    ? "\\\""
                                : u == '\\' ? "\\\\"
                                : u == '\b' ? "\\b"
                                : u == '\f' ? "\\f"
                                : u == '\n' ? "\\n"
                                : u == '\r' ? "\\r"
                                : u == '\t' ? "\\t"
                                            : nullptr;
            if (named) {
                m_out += named;
            } else if (QChar::isHighSurrogate(u) && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
                m_out += s.mid(i, 2).toUtf8().toStdString();
                ++i;
            } else if (u < 0x20 || QChar::isSurrogate(u)) {
                const char e[] = {'\\', 'u', kHex[u >> 12], kHex[(u >> 8) & 15], kHex[(u >> 4) & 15], kHex[u & 15]};
                m_out.append(e, sizeof e);
            } else {
                m_out += s.mid(i, 1).toUtf8().toStdString();
            }
        }
        m_out += '"';
    }
    // As an object's members would be, written in one piece.
    void point(const DecodedPoint& p) {
        const int in = 4 * (int(m_first.size()) + 1);
        PointText t;
        t.put("{\n");
        bool first = true;
        auto member = [&](const char* key) {
            if (!first) t.put(",\n");
            first = false;
            t.blanks(in);
            t.put('"');
            t.put(key);
            t.put("\": ");
        };
        for (const Field f : kByName) {
            if (f == B) {  // "address" sorts between "ad" and "b"
                member("address");
                t.number(p.address);
            }
            if (!has(p, f)) continue;
            member(kFieldName[f]);
            if (const char* text = textValue(p, f)) {
                t.put('"');
                t.put(text);
                t.put('"');
            } else {
                t.number(fieldNumber(p, f));
            }
        }
        t.put('\n');
        t.blanks(in - 4);
        t.put('}');
        t.appendTo(m_out);
    }

private:
    std::string m_out;
    QVector<bool> m_first;  // per open container: no member written yet
};

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

QString pointLine(const DecodedPoint& p) { return pointText(p).string(); }

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
        // All point lines in one piece: they are plain ASCII and the bulk of the text.
        std::string lines;
        lines.reserve(size_t(d.points.size()) * 120);
        for (const DecodedPoint& p : d.points) {
            if (!lines.empty()) lines += '\n';
            pointText(p, "  ").appendTo(lines);
        }
        if (!d.points.isEmpty()) out << QString::fromLatin1(lines.data(), qsizetype(lines.size()));
    }
    out << decodeVerdict(d);
    return out.join(QLatin1Char('\n'));
}

QByteArray decodedJson(const DecodedDownload& d, const QString& name) {
    JsonWriter j(4096 + d.points.size() * 400);
    j.begin('{');
    j.item("blocks");
    // Blocks and their fields by name; of two with one name the later stands.
    auto byName = [](auto& list) {
        std::stable_sort(list.begin(), list.end(), [](auto* x, auto* y) { return x->name < y->name; });
        for (qsizetype i = list.size() - 1; i > 0; --i)
            if (list[i - 1]->name == list[i]->name) list.remove(i - 1);
    };
    QVector<const DecodedBlock*> blocks;
    for (const DecodedBlock& b : d.blocks) blocks.append(&b);
    byName(blocks);
    j.begin('{');
    for (const DecodedBlock* b : blocks) {
        j.item(b->name);
        QVector<const DecodedField*> fields;
        for (const DecodedField& f : b->fields) fields.append(&f);
        byName(fields);
        j.begin('{');
        for (const DecodedField* f : fields) {
            j.item(f->name);
            if (textField(f->name))
                j.string(f->value);
            else
                j.number(f->value.toLongLong());
        }
        j.end('}');
    }
    j.end('}');
    j.item("checksum");
    j.begin('{');
    j.item("computed");
    j.string(hex(d.computedChecksum));
    j.item("ok");
    j.boolean(d.checksumOk);
    j.item("stored");
    j.string(hex(d.storedChecksum));
    j.end('}');
    j.item("complete");
    j.boolean(d.complete);
    j.item("devices");
    j.begin('[');
    for (const DecodedDevice& dev : d.devices) {
        j.item();
        j.begin('{');
        j.item("address");
        j.string(dev.address);
        if (d.protocol == QLatin1String("LON")) {
            j.item("errorPoint");
            j.number(dev.errorPoint);
        }
        j.item("position");
        j.number(dev.position);
        j.end('}');
    }
    j.end(']');
    j.item("faults");
    j.begin('[');
    for (const QString& f : d.faults) {
        j.item();
        j.string(f);
    }
    j.end(']');
    j.item("file");
    j.string(name);
    j.item("points");
    j.begin('[');
    for (const DecodedPoint& p : d.points) {
        j.item();
        j.point(p);
    }
    j.end(']');
    j.item("protocol");
    j.string(d.protocol);
    if (d.readable >= 0) {
        j.item("readable");
        j.number(d.readable);
    }
    j.item("size");
    j.number(d.size);
    j.item("stop");
    if (d.complete) {
        j.null();
    } else {
        j.begin('{');
        j.item("offset");
        j.number(d.stopOffset);
        j.item("reason");
        j.string(d.stopReason);
        j.end('}');
    }
    j.end('}');
    return j.take();
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

// The points in the order of their addresses; a repeated address keeps the
// file's order, so the n-th point of an address meets the other side's n-th.
QVector<const DecodedPoint*> byAddress(const DecodedDownload& d) {
    QVector<const DecodedPoint*> v;
    v.reserve(d.points.size());
    for (const DecodedPoint& p : d.points) v.append(&p);
    std::stable_sort(v.begin(), v.end(),
                     [](const DecodedPoint* x, const DecodedPoint* y) { return x->address < y->address; });
    return v;
}

// Field by field: A's fields in print order, then those only B has by name.
PointChange compare(const DecodedPoint& a, const DecodedPoint& b) {
    PointChange change;
    change.address = a.address;
    for (int i = 0; i < FieldCount; ++i) {
        const Field f = Field(i);
        if (!has(a, f)) continue;
        if (!has(b, f))
            change.fields.append({QString::fromLatin1(kFieldName[f]), valueText(a, f), QString()});
        else if (fieldNumber(a, f) != fieldNumber(b, f))
            change.fields.append({QString::fromLatin1(kFieldName[f]), valueText(a, f), valueText(b, f)});
    }
    for (const Field f : kByName)
        if (has(b, f) && !has(a, f))
            change.fields.append({QString::fromLatin1(kFieldName[f]), QString(), valueText(b, f)});
    return change;
}
}  // namespace

DownloadDiff diffDownloads(const DecodedDownload& a, const DecodedDownload& b) {
    DownloadDiff diff;
    const QMap<QString, QString> sa = settings(a), sb = settings(b);
    QStringList names = sa.keys();
    for (const QString& n : sb.keys())
        if (!sa.contains(n)) names << n;
    // A setting present but empty reads "", so that it differs on screen from one the file lacks ("-").
    auto shown = [](const QMap<QString, QString>& s, const QString& n) {
        return s.contains(n) && s.value(n).isEmpty() ? QStringLiteral("\"\"") : s.value(n);
    };
    for (const QString& n : names)
        if (sa.value(n) != sb.value(n) || sa.contains(n) != sb.contains(n))
            diff.fields.append({n, shown(sa, n), shown(sb, n)});

    const bool lonA = a.protocol == QLatin1String("LON"), lonB = b.protocol == QLatin1String("LON");
    for (int i = 0; i < qMax(a.devices.size(), b.devices.size()); ++i) {
        const QString before = i < a.devices.size() ? deviceText(a.devices[i], lonA) : QString();
        const QString after = i < b.devices.size() ? deviceText(b.devices[i], lonB) : QString();
        if (before != after) diff.devices.append({QStringLiteral("device ") + QString::number(i + 1), before, after});
    }

    // Both sides in address order, walked together: the n-th point of an
    // address meets the other side's n-th, the rest are removed or added.
    const QVector<const DecodedPoint*> pa = byAddress(a), pb = byAddress(b);
    qsizetype i = 0, k = 0;
    while (i < pa.size() || k < pb.size()) {
        if (k == pb.size() || (i < pa.size() && pa[i]->address < pb[k]->address)) {
            diff.removed.append(*pa[i++]);
        } else if (i == pa.size() || pb[k]->address < pa[i]->address) {
            diff.added.append(*pb[k++]);
        } else {
            PointChange change = compare(*pa[i++], *pb[k++]);
            if (!change.fields.isEmpty()) diff.changed.append(change);
        }
    }
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
