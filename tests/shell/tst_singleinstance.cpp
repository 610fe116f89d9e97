// One copy per application folder, with the real program started twice.
#include <QtTest>

#include <QProcess>

#include "FolderRights.h"
#include "InstanceLock.h"
#include "TestSupport.h"

namespace {
// The program in an application folder where it starts without any message box;
// the folder is given by --home, or by the environment when viaEnv.
std::unique_ptr<QProcess> start(const QString& home, bool viaEnv = false) {
    QDir().mkpath(home + "/ProjectsASCII");
    QFile::copy(QStringLiteral(PILMORA_BIN_DIR "/PilmoraASCII.LNG"), home + "/PilmoraASCII.LNG");
    copyTemplates(home + "/TemplatesASCII");
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("PILMORA_HOME", viaEnv ? home : QString());
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(PILMORA_BIN_DIR "/PilmoraASCII"), viaEnv ? QStringList() : QStringList{"--home", home});
    return p;
}

// Running and holding its lock (taken before anything else).
bool holdsLock(QProcess& p, const QString& home) {
    if (!p.waitForStarted(10000)) return false;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000 && p.state() == QProcess::Running) {
        if (QFileInfo::exists(InstanceLock::lockPath(home))) {
            QTest::qWait(300);  // past the lock check
            return p.state() == QProcess::Running;
        }
        QTest::qWait(20);
    }
    return false;
}

void stop(QProcess& p) {
    p.kill();
    p.waitForFinished(5000);
}
}  // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondCopyEndsStaleLockDoesNotBlock() {
        QTemporaryDir tmp, other;
        auto first = start(tmp.path());
        QVERIFY(holdsLock(*first, tmp.path()));
        auto second = start(tmp.path(), /*viaEnv=*/true);
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(second->readAllStandardOutput(), QByteArray());
        auto third = start(other.path());  // another folder runs alongside
        QVERIFY(holdsLock(*third, other.path()));
        stop(*third);
        stop(*first);  // killed: no clean-up, the lock file stays behind
        QVERIFY(QFileInfo::exists(InstanceLock::lockPath(tmp.path())));
        auto next = start(tmp.path(), /*viaEnv=*/true);
        QVERIFY(holdsLock(*next, tmp.path()));
        QVERIFY(!next->waitForFinished(1000));
        stop(*next);
    }

    void lockInProcess_data() {
        QTest::addColumn<QByteArray>("lockFile");  // "held" = taken by this live process
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("acquired");
        const QByteArray gone = "2147483646\nPilmoraASCII\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::newRow("no lock file") << QByteArray() << 0 << true;
        QTest::newRow("lock of a gone process") << gone << 0 << true;
        QTest::newRow("old lock of a gone process") << gone << 86400 << true;
        QTest::newRow("old empty lock file") << QByteArray("\n") << 60 << true;  // cut short by a crash
        QTest::newRow("old garbage lock file") << QByteArray("\x01\x02garbage") << 60 << true;
        QTest::newRow("fresh empty lock file") << QByteArray("\n") << 0 << false;  // maybe being written now
        QTest::newRow("old lock of a live copy") << QByteArray("held") << 2 * 86400 << false;
    }
    void lockInProcess() {
        QFETCH(QByteArray, lockFile);
        QFETCH(int, ageSeconds);
        QFETCH(bool, acquired);
        QTemporaryDir tmp;
        const QString path = InstanceLock::lockPath(tmp.path());
        InstanceLock holder;
        QVERIFY(lockFile == "held" ? holder.acquire(tmp.path()) : lockFile.isEmpty() || writeAll(path, lockFile));
        if (!lockFile.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        }
        InstanceLock lock;
        QCOMPARE(lock.acquire(tmp.path()), acquired);
        InstanceLock again;  // refused while a holder in a live process keeps it
        QVERIFY(!again.acquire(tmp.path()));
    }

    // Each user keeps the lock of a read-only folder in a runtime folder of their own.
    void readOnlyFolderLocksPerUser() {
        QTemporaryDir tmp, userA, userB;
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        auto asUser = [](const QTemporaryDir& d) { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(d.path())); };
        NoWriteFolder deny(tmp.path());
        if (!deny.active()) QSKIP("cannot take write rights away here");
        {
            asUser(userA);
            InstanceLock lock;
            QVERIFY(lock.acquire(tmp.path()));
            QVERIFY(!QFileInfo::exists(InstanceLock::lockPath(tmp.path())));
            QVERIFY(InstanceLock::fallbackLockPath(tmp.path()).startsWith(userA.path()));
            QVERIFY(QFileInfo::exists(InstanceLock::fallbackLockPath(tmp.path())));
            InstanceLock other;
            QVERIFY(!other.acquire(tmp.path()));
            asUser(userB);
            InstanceLock otherUser;
            QVERIFY(otherUser.acquire(tmp.path()));
            asUser(userA);
        }
        InstanceLock next;  // released with the first holder
        QVERIFY(next.acquire(tmp.path()));
        qputenv("XDG_RUNTIME_DIR", saved);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
