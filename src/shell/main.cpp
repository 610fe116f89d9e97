// PilmoraASCII: configures Merovantix ASCII gateways and brings them into service.
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>

#include "AppGlobals.h"
#include "InstanceLock.h"
#include "MDIPilmora.h"
#include "QtPrompts.h"
#include "Startup.h"

int main(int argc, char** argv) {
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
