// PilmoraASCII: configures Merovantix ASCII gateways and brings them into service.
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "AppFolder.h"
#include "AppGlobals.h"
#include "InstanceLock.h"
#include "MDIPilmora.h"
#include "ProcessMemory.h"
#include "QtPrompts.h"
#include "Startup.h"

int main(int argc, char** argv) {
    keepFreedMemoryForReuse();
    // Answered before the display is opened, so it works on a terminal without one.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--home") == 0) {
            ++i;  // its value is a folder, whatever it is called
        } else if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", kAppTitle, PILMORA_VERSION);
            return 0;
        }
    }
    provideRuntimeFolder();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QApplication::setApplicationVersion(QStringLiteral(PILMORA_VERSION));

    QStringList problems;
    app().appFolder = resolveAppFolder(QApplication::arguments(), QApplication::applicationDirPath(),
                                       qEnvironmentVariable("PILMORA_HOME"), &problems);
    for (const QString& p : problems) qWarning("%s", qPrintable(p));

    // One copy per application folder; a second one leaves without a word.
    InstanceLock lock;
    if (!lock.acquire(app().appFolder)) return 0;

    QtPrompts qtPrompts;
    installPrompts(&qtPrompts);

    MDIPilmora w;
    QApplication::setWindowIcon(w.windowIcon());
    if (!w.Form_Load()) return 1;
    if (const QScreen* screen = w.screen()) w.resize(w.size().boundedTo(screen->availableGeometry().size()));
    w.show();
    // The catalogue opens at once, over the visible main window.
    QTimer::singleShot(0, &w, &MDIPilmora::mnuAProject_Click);
    const int rc = qapp.exec();
    installPrompts(nullptr);
    return rc;
}
