#include "Mbs6Fixtures.h"

#include "TestSupport.h"

QStringList mbs6Row(int unit, int code, bool active) {
    return QStringLiteral("%1\t%2\tUnit %1 property %2\t%3\tRW\t1-Dig\t1-Spon\t%4")
        .arg(QString::number(unit), QString::number(code), QString::number(unit * 100 + code),
             QString(active ? "1-Yes" : "0-No"))
        .split('\t');
}

Mbs6Fixture fullMbs6Fixture() {
    Mbs6Fixture f;
    for (int code : {1, 2, 3, 4, 6, 9, 10}) f.rows << mbs6Row(0, code);  // the broadcast rows
    for (int u = 1; u <= 63; ++u) {
        f.units << u;
        for (int code = 0; code <= 12; ++code) f.rows << mbs6Row(u, code);
    }
    return f;
}

bool writeMbs6Fixture(const QString& folder, const Mbs6Fixture& f) {
    QDir().mkpath(folder);
    QStringList ini{"[MBS6]", "TimeoutPoll=1000"};
    for (int u : f.units) ini << QStringLiteral("D%1-On=1").arg(u) << QStringLiteral("D%1-Nm=Unit %1").arg(u);
    ini << QStringLiteral(
               "[ASCII]|Baudios=3 (9600)|Bits=0 (8)|Paridad=0 (none-1stop)|Tmout_ms=1000|SendACK=0|IP=127.0.0.1")
               .split('|');
    QStringList dat{"PROTOCOLO=77-MBS6", "VERSION=ASCII.1.0", "CAMPOS=9",
                    "No.\tUnit\tProp.\tDescription\tAdd\tR/W\tA/D\tSpontaneous\tActive\t"};
    for (int i = 0; i < f.rows.size(); ++i) dat << QString::number(i + 1) + '\t' + f.rows[i].join('\t') + '\t';
    return writeAll(folder + "/Project.ini", crlf({"[Project]", "Prot=MBS6", "Desc=Test"})) &&
           writeAll(folder + "/MBS6.ini", crlf(ini)) && (!f.writeDat || writeAll(folder + "/MBS6.dat", crlf(dat)));
}
