// One copy per application folder: the lock itself, and the real program started twice.
#include <QtTest>

#include <QProcess>

#include "FolderRights.h"
#include "InstanceLock.h"
#include "TestSupport.h"

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    // The first copy holds the folder's lock; a second copy leaves at once, quietly.
    void secondCopyLeaves() {
        QTemporaryDir home;
        QDir().mkpath(home.filePath("ProjectsASCII"));
        QFile::copy(QStringLiteral(PILMORA_BIN_DIR "/PilmoraASCII.LNG"), home.filePath("PilmoraASCII.LNG"));
        copyTemplates(home.filePath("TemplatesASCII"));
        QProcess first, second;
        for (QProcess* p : {&first, &second}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            env.insert("PILMORA_HOME", home.path());  // the second copy finds the folder here
            p->setProcessEnvironment(env);
        }
        first.start(QStringLiteral(PILMORA_BIN_DIR "/PilmoraASCII"), {"--home", home.path()});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(InstanceLock::lockPath(home.path())), 10000);
        QCOMPARE(first.state(), QProcess::Running);
        second.start(QStringLiteral(PILMORA_BIN_DIR "/PilmoraASCII"), QStringList());
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished(5000);
    }

    void lockInProcess_data() {
        QTest::addColumn<QByteArray>("lockFile");  // "held" = taken by this live process
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("acquired");
        const QByteArray gone = "2147483646\nPilmoraASCII\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::newRow("no lock file") << QByteArray() << 0 << true;
        QTest::newRow("lock of a gone process") << gone << 0 << true;
        QTest::newRow("old empty lock file") << QByteArray("\n") << 60 << true;  // cut short by a crash
        QTest::newRow("old garbage lock file") << QByteArray("\x01\x02garbage") << 60 << true;
        QTest::newRow("fresh empty lock file") << QByteArray("\n") << 0 << false;  // maybe being written now
        QTest::newRow("old lock of a live copy") << QByteArray("held") << 2 * 86400 << false;
    }
    void lockInProcess() {
        QFETCH(QByteArray, lockFile);
        QFETCH(int, ageSeconds);
        QTemporaryDir tmp;
        const QString path = InstanceLock::lockPath(tmp.path());
        InstanceLock holder;
        QVERIFY(lockFile == "held" ? holder.acquire(tmp.path()) : lockFile.isEmpty() || writeAll(path, lockFile));
        QFile f(path);
        if (!lockFile.isEmpty())
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        InstanceLock lock, again;
        QTEST(lock.acquire(tmp.path()), "acquired");
        QVERIFY(!again.acquire(tmp.path()));  // refused while a holder in a live process keeps it
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
            InstanceLock lock, other, otherUser;
            QVERIFY(lock.acquire(tmp.path()));
            QVERIFY(!QFileInfo::exists(InstanceLock::lockPath(tmp.path())));
            QVERIFY(InstanceLock::fallbackLockPath(tmp.path()).startsWith(userA.path()));
            QVERIFY(!other.acquire(tmp.path()));
            asUser(userB);
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
