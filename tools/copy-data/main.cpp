// pilmora-copy-data FROM TO ENTRY...: copies the entries (files or folders
// below FROM) into TO, leaving alone every file the user changed there since
// the last copy. Exit status 0 done, 1 something could not be written.
#include <QCoreApplication>
#include <cstdio>

#include "AppFolder.h"

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    const QStringList args = qapp.arguments().mid(1);
    if (args.size() < 3) {
        std::fputs("usage: pilmora-copy-data FROM TO ENTRY...\n", stderr);
        return 2;
    }
    // Builds before this tool overwrote the folder's copies; the first run takes them for its own.
    const DataCopyResult r = copyNewData(args[0], args[1], args.mid(2), /*adoptUnrecorded=*/true);
    for (const QString& k : r.kept) std::printf("kept (changed here): %s\n", qPrintable(k));
    for (const QString& f : r.failed) std::fprintf(stderr, "not copied: %s\n", qPrintable(f));
    return r.ok() ? 0 : 1;
}
