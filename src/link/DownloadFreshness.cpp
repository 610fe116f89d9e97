#include "DownloadFreshness.h"

#include <QDateTime>
#include <QVector>

#include "AppGlobals.h"
#include "LonConfig.h"
#include "LonDownload.h"
#include "LonProject.h"
#include "Mbs6Config.h"
#include "Mbs6Download.h"
#include "Mbs6Project.h"
#include "ModulConfASCII.h"
#include "Prompts.h"
#include "SignalGrid.h"

namespace {
// Whatever loading the project would say is not for this question.
class Silent : public Prompts {
public:
    int toolBox(const ToolBoxRequest&) override { return 1; }
    int systemBox(const QString&, int, const QString&) override { return Msg::OK; }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
};
}  // namespace

bool downloadMatchesProject(const QString& folder, const QString& protocol, const QByteArray& file) {
    Prompts* before = &prompts();
    Silent silent;
    installPrompts(&silent);
    const QDateTime at(QDate(2000, 1, 1), QTime(0, 0));
    QByteArray now;
    SignalGrid grid;
    QVector<InfoColumna> info;
    if (slotDeProtocolo(protocol) == kSlotLon) {
        LonConfig cfg;
        if (loadLonProject(folder, cfg, grid, info)) {
            const LonDownload d = composeLonDownload(cfg, grid, LonTuning::fromIni(), at);
            if (d.message.isEmpty() && d.fault.isEmpty()) now = d.bytes;
        }
    } else if (slotDeProtocolo(protocol) == kSlotMbs6) {
        Mbs6Config cfg;
        if (loadMbs6Project(folder, cfg, grid, info)) {
            const Mbs6Download d = composeMbs6Download(cfg, grid, mbs6TimeoutInterFrame(), at);
            if (d.message.isEmpty() && d.fault.isEmpty()) now = d.bytes;
        }
    }
    installPrompts(before);
    if (now.isEmpty() || now.size() != file.size()) return false;
    // The header text ends in the date and time ("yyyy/MM/dd HH:mm:ss"); the
    // checksum (4 bytes in front) follows from the rest.
    const QByteArray prefix = now.mid(4, 62);
    const qsizetype date = prefix.indexOf(at.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")).toLatin1());
    if (date < 0) return false;
    const qsizetype from = 4 + date, to = from + 19;
    return now.mid(4, from - 4) == file.mid(4, from - 4) && now.mid(to) == file.mid(to);
}
