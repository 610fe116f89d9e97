// One copy per application folder, with the real program started twice.
#include <QtTest>

#include <QProcess>

#include "FolderRights.h"
#include "InstanceLock.h"
#include "TestSupport.h"

namespace {
const QString kProgram = QStringLiteral(PILMORA_BIN_DIR "/PilmoraASCII");

// An application folder the program can start in without any message box.
void prepareHome(const QString& dir) {
    QDir().mkpath(dir + "/ProjectsASCII");
    QFile::copy(QStringLiteral(PILMORA_BIN_DIR "/PilmoraASCII.LNG"), dir + "/PilmoraASCII.LNG");
    copyFolder(QStringLiteral(PILMORA_BIN_DIR "/TemplatesASCII"), dir + "/TemplatesASCII");
}

std::unique_ptr<QProcess> start(const QString& home, const QStringList& extraArgs = {}) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("PILMORA_HOME");
    p->setProcessEnvironment(env);
    p->setProgram(kProgram);
    p->setArguments(QStringList{"--home", home} + extraArgs);
    p->start();
    return p;
}

// Running and holding its lock (the lock is taken before anything else).
bool waitHoldsLock(QProcess& p, const QString& home) {
    if (!p.waitForStarted(10000)) return false;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        if (p.state() != QProcess::Running) return false;
        if (QFileInfo::exists(InstanceLock::lockPath(home))) {
            // Give it the moment it needs to be past the lock check.
            QTest::qWait(300);
            return p.state() == QProcess::Running;
        }
        QTest::qWait(20);
    }
    return false;
}

void stop(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.kill();
    p.waitForFinished(5000);
}
}  // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondCopyEndsSilently() {
        QTemporaryDir tmp;
        prepareHome(tmp.path());
        auto first = start(tmp.path());
        QVERIFY(waitHoldsLock(*first, tmp.path()));

        auto second = start(tmp.path());
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(second->readAllStandardOutput(), QByteArray());
        // The first copy is unaffected.
        QCOMPARE(first->state(), QProcess::Running);
        stop(*first);
    }

    void otherFolderRunsAlongside() {
        QTemporaryDir a, b;
        prepareHome(a.path());
        prepareHome(b.path());
        auto first = start(a.path());
        QVERIFY(waitHoldsLock(*first, a.path()));
        auto second = start(b.path());
        QVERIFY(waitHoldsLock(*second, b.path()));
        stop(*second);
        stop(*first);
    }

    void lockOfCrashedCopyDoesNotBlock() {
        QTemporaryDir tmp;
        prepareHome(tmp.path());
        auto crashed = start(tmp.path());
        QVERIFY(waitHoldsLock(*crashed, tmp.path()));
        crashed->kill();  // no clean-up: the lock file stays behind
        QVERIFY(crashed->waitForFinished(5000));
        QVERIFY(QFileInfo::exists(InstanceLock::lockPath(tmp.path())));

        auto next = start(tmp.path());
        QVERIFY(waitHoldsLock(*next, tmp.path()));
        QVERIFY(!next->waitForFinished(1000));
        stop(*next);
    }

    void lockInProcess_data() {
        QTest::addColumn<QByteArray>("lockFile");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("acquired");
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        QTest::newRow("no lock file") << QByteArray() << 0 << true;
        // A process id that cannot be running.
        QTest::newRow("lock of a gone process") << QByteArray("2147483646\nPilmoraASCII\n" + host + "\n") << 0 << true;
        QTest::newRow("old lock of a gone process")
            << QByteArray("2147483646\nPilmoraASCII\n" + host + "\n") << 86400 << true;
        // Cut short by a crash while being written.
        QTest::newRow("old empty lock file") << QByteArray("\n") << 60 << true;
        QTest::newRow("old garbage lock file") << QByteArray("\x01\x02garbage") << 60 << true;
        // Possibly a copy that is writing its lock right now.
        QTest::newRow("fresh empty lock file") << QByteArray("\n") << 0 << false;
    }
    void lockInProcess() {
        QFETCH(QByteArray, lockFile);
        QFETCH(int, ageSeconds);
        QFETCH(bool, acquired);
        QTemporaryDir tmp;
        const QString path = InstanceLock::lockPath(tmp.path());
        if (!lockFile.isEmpty()) {
            QVERIFY(writeAll(path, lockFile));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        }
        InstanceLock lock;
        QCOMPARE(lock.acquire(tmp.path()), acquired);
        // A second holder in a live process is refused until the first lets go.
        auto again = std::make_unique<InstanceLock>();
        QVERIFY(!again->acquire(tmp.path()));
    }

    void lockHeldLongIsNotStale() {
        QTemporaryDir tmp;
        InstanceLock lock;
        QVERIFY(lock.acquire(tmp.path()));
        // Age alone never makes a lock stale: an old lock of a live copy holds.
        const QDateTime old = QDateTime::currentDateTime().addDays(-2);
        QFile f(InstanceLock::lockPath(tmp.path()));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
        f.close();
        InstanceLock other;
        QVERIFY(!other.acquire(tmp.path()));
    }

    void readOnlyFolderLocksInTemporaryFolder() {
        QTemporaryDir tmp;
        QFile::remove(InstanceLock::fallbackLockPath(tmp.path()));
        NoWriteFolder deny(tmp.path());
        if (!deny.active()) QSKIP("cannot take write rights away here");
        {
            InstanceLock lock;
            QVERIFY(lock.acquire(tmp.path()));
            QVERIFY(!QFileInfo::exists(InstanceLock::lockPath(tmp.path())));
            QVERIFY(QFileInfo::exists(InstanceLock::fallbackLockPath(tmp.path())));
            InstanceLock other;
            QVERIFY(!other.acquire(tmp.path()));
        }
        // Released with the first holder.
        InstanceLock next;
        QVERIFY(next.acquire(tmp.path()));
    }

    void homeFromEnvironment() {
        QTemporaryDir tmp;
        prepareHome(tmp.path());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("PILMORA_HOME", tmp.path());
        p.setProcessEnvironment(env);
        p.start(kProgram, {});
        QVERIFY(waitHoldsLock(p, tmp.path()));
        stop(p);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
