// Checks a gateway download file as the gateway does before it takes it: the
// checksum in front, and record counts that agree with the file's length.
// Used by the simulated gateway and by the send confirmation.
#pragma once

#include <QByteArray>
#include <QString>

struct DownloadFileCheck {
    bool ok = false;
    QString reason;      // why not, in plain English (the simulator's log)
    QString protocol;    // "LON" or "MBS6", from the header text
    quint32 checksum = 0;
    int devices = 0;
    int points = 0;
    QString tcpIp;  // LON with the TCP/IP block: the gateway's address after the download

    static DownloadFileCheck of(const QByteArray& file);
};
