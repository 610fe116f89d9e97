// Reading and comparing download files: the one entry that tells LON from MBS6
// by the file's own header, the text and JSON forms `pilmora decode` prints,
// and the field-by-field comparison behind `pilmora diff` and the send
// confirmation.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include "DownloadDecode.h"

// Whole file, checksum first; never fails: a damaged file says where it stops.
DecodedDownload decodeDownload(const QByteArray& file);

// The decoded file as text: blocks, devices, one line per point, then the
// checksum verdict and whether the whole file was read (language texts).
QString decodedText(const DecodedDownload& d, const QString& name);
// The closing lines of decodedText: the checksum verdict, damage found, and
// whether the whole file was read or where and why reading stopped.
QStringList decodeVerdict(const DecodedDownload& d);
// The same as one JSON document.
QByteArray decodedJson(const DecodedDownload& d, const QString& name);

struct FieldChange {
    QString name;           // "serial.baud", "device 2", "points.readable", or a point's field
    QString before, after;  // empty: absent on that side
};

struct PointChange {
    int address = 0;
    QVector<FieldChange> fields;
};

// A against B: fields of the header and blocks (the generation date left out),
// the device table, and the points keyed by ASCII address.
struct DownloadDiff {
    QVector<FieldChange> fields;
    QVector<FieldChange> devices;
    QVector<DecodedPoint> added, removed;
    QVector<PointChange> changed;
    bool same() const {
        return fields.isEmpty() && devices.isEmpty() && added.isEmpty() && removed.isEmpty() && changed.isEmpty();
    }
};

DownloadDiff diffDownloads(const DecodedDownload& a, const DecodedDownload& b);
// One line per difference ("serial.baud: 9600 -> 19200", "+ 1005 ...",
// "- 1003 ...", "~ 1001 offset: 0 -> 1"), then the summary.
QString diffText(const DownloadDiff& diff);
// One sentence: how many points were added, removed, changed and which
// settings changed, or that the files are the same (language texts).
QString diffSummary(const DownloadDiff& diff);
// "1001 device=1 kind=nv ..." as decode prints a point.
QString pointLine(const DecodedPoint& p);
