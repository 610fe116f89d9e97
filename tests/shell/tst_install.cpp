// The programs installed into a DESTDIR, started as a user would (fresh HOME); the instance lock.
#include <QProcess>
#include <QtTest>

#include "AppFolder.h"
#include "FolderRights.h"
#include "InstanceLock.h"
#include "TestSupport.h"

namespace {
struct Installed {
    QTemporaryDir root;
    QString bin() const { return root.filePath("usr/bin"); }
    QString share() const { return root.filePath("usr/share/pilmora-ascii"); }
};

QProcessEnvironment userEnv(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home), env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("XDG_DATA_HOME"), env.remove("PILMORA_HOME");
    return env;
}

QString userFolder(const QString& home) { return home + "/.local/share/PilmoraASCII"; }

int runCli(const Installed& in, const QString& home, const QStringList& args, QByteArray* out = nullptr) {
    QProcess p;
    p.setProcessEnvironment(userEnv(home));
    p.start(in.bin() + "/pilmora", args);
    if (!p.waitForFinished(30000)) return -1;
    if (out) *out = p.readAllStandardOutput();
    return p.exitCode();
}
}  // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_in.root.isValid());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", m_in.root.path());
        p.setProcessEnvironment(env);
        p.start(PILMORA_CMAKE, {"--install", PILMORA_BUILD_DIR, "--prefix", "/usr"});
        QVERIFY2(p.waitForFinished(120000) && p.exitCode() == 0, p.readAllStandardError().constData());
        for (const char* f :
             {"usr/bin/PilmoraASCII", "usr/bin/pilmora", "usr/share/applications/pilmora-ascii.desktop",
              "usr/share/man/man1/pilmora.1.gz", "usr/share/icons/hicolor/scalable/apps/pilmora-ascii.svg"})
            QVERIFY2(QFileInfo::exists(m_in.root.filePath(f)), f);
    }

    // The first start fills the per-user folder, a second copy leaves quietly, the CLI works from it; an
    // upgrade brings its new texts and templates and keeps what the user changed.
    void firstStartThenUpgrade() {
        QTemporaryDir home;
        QProcess w, second;
        w.setProcessEnvironment(userEnv(home.path())), second.setProcessEnvironment(userEnv(home.path()));
        w.start(m_in.bin() + "/PilmoraASCII");
        QVERIFY(w.waitForStarted(10000));
        const QString user = userFolder(home.path());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(user + "/" + kCopyManifest), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(InstanceLock::lockPath(user)), 10000);
        second.start(m_in.bin() + "/PilmoraASCII");
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(QString::number(second.exitCode()) + second.readAllStandardOutput(), QStringLiteral("0"));
        QCOMPARE(w.state(), QProcess::Running);  // its language file was usable
        w.kill(), w.waitForFinished(5000);
        for (const char* f : {"PilmoraASCII.LNG", "TemplatesASCII/LON.ini", "TemplatesASCII/MBS6.dat",
                              "ProjectsASCII/DemoLON/LON.dat", "ProjectsASCII/DemoMBS6/Project.ini"})
            QCOMPARE(readAll(user + "/" + f), readAll(m_in.share() + "/" + f));
        QByteArray out;
        QVERIFY(runCli(m_in, home.path(), {"check", user + "/ProjectsASCII/DemoLON"}, &out) == 0 && !out.isEmpty());
        QVERIFY(writeAll(user + "/TemplatesASCII/LON.ini", "[ASCII]\r\nIP=127.0.0.1\r\n"));
        const QByteArray lng =
            readAll(m_in.share() + "/PilmoraASCII.LNG") + "NewTextOfTheUpgrade\tnew\tnuevo\tnouveau\r\n";
        QVERIFY(writeAll(m_in.share() + "/PilmoraASCII.LNG", lng) &&
                writeAll(m_in.share() + "/TemplatesASCII/LON.ini", "[ASCII]\r\nIP=127.0.0.2\r\n") &&
                writeAll(m_in.share() + "/TemplatesASCII/MBS6.ini", "[ASCII]\r\nIP=127.0.0.3\r\n"));
        QCOMPARE(runCli(m_in, home.path(), {"--help"}), 0);
        QCOMPARE(readAll(user + "/PilmoraASCII.LNG"), lng);
        QCOMPARE(readAll(user + "/TemplatesASCII/LON.ini") + readAll(user + "/TemplatesASCII/MBS6.ini"),
                 QByteArray("[ASCII]\r\nIP=127.0.0.1\r\n[ASCII]\r\nIP=127.0.0.3\r\n"));
    }

    // Each program answers --version alone: no display, no user folder made.
    void version_data() {
        QTest::addColumn<QString>("program");
        for (const char* p : {"PilmoraASCII", "pilmora", "pilmora-gateway-sim"}) QTest::newRow(p) << QString(p);
    }
    void version() {
        QFETCH(QString, program);
        QTemporaryDir home;
        QProcess p;
        QProcessEnvironment env = userEnv(home.path());
        env.remove("QT_QPA_PLATFORM"), env.remove("DISPLAY"), env.remove("WAYLAND_DISPLAY");
        p.setProcessEnvironment(env);
        p.start(m_in.bin() + "/" + program, {"--version"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(QString::number(p.exitCode()) + " " + p.readAllStandardOutput(),
                 "0 " + program + " " PILMORA_VERSION "\n");
        QVERIFY(!QFileInfo::exists(userFolder(home.path())));
    }

    // Without XDG_RUNTIME_DIR the folder Qt would fall back on is given to it beforehand; one Qt would refuse is not.
    void runtimeFolder_data() {
        addColumns<QString, QString>("there", "given");  // what <temp>/runtime-<user> is; what XDG_RUNTIME_DIR becomes
        for (const auto& [name, there, given] :
             std::initializer_list<std::array<const char*, 3>>{{"already set", "set", "/run/user/elsewhere"},
                                                               {"missing: made 0700", "", "R"},
                                                               {"a folder of mode 0700", "700", "R"},
                                                               {"a folder of mode 0755", "755", ""},
                                                               {"a file", "file", ""}})
            QTest::newRow(name) << QString(there) << QString(given);
    }
    void runtimeFolder() {
        auto [there, given] = fetch<QString, QString>("there", "given");
        QTemporaryDir tmp;
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTmp = qgetenv("TMPDIR");
        const QString folder = tmp.path() + "/runtime-" + QFileInfo(tmp.path()).owner();
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qputenv("XDG_RUNTIME_DIR", there == "set" ? QByteArray("/run/user/elsewhere") : QByteArray());
        if (there == "file") QVERIFY(writeAll(folder, "x"));
        if (there.startsWith('7'))
            QVERIFY(QDir().mkdir(folder) && QFile::setPermissions(folder, there == "700" ? QFile::Permissions(0x7000)
                                                                                         : QFile::Permissions(0x7555)));
        const QString runtime = provideRuntimeFolder(), env = qEnvironmentVariable("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", savedRuntime), qputenv("TMPDIR", savedTmp);
        if (given == "R") given = folder;
        QCOMPARE(runtime + "|" + env, given + "|" + given);
        if (given == folder) QCOMPARE(int(QFileInfo(folder).permissions() & 0x7077), 0x7000);
    }

    void lockInProcess_data() {
        QTest::addColumn<QByteArray>("lockFile");  // "held" = taken by this live process
        addColumns<int, bool>("ageSeconds", "acquired");
        const QByteArray gone = "2147483646\nPilmoraASCII\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::newRow("no lock file") << QByteArray() << 0 << true;
        QTest::newRow("lock of a gone process") << gone << 0 << true;
        QTest::newRow("old empty lock file") << QByteArray("\n") << 60 << true;  // cut short by a crash
        QTest::newRow("old garbage lock file") << QByteArray("\x01\x02garbage") << 60 << true;
        QTest::newRow("fresh empty lock file") << QByteArray("\n") << 0 << false;   // maybe being written now
        QTest::newRow("empty lock file 3 s old") << QByteArray("\n") << 3 << true;  // past the 2 s of a slow write
        QTest::newRow("old lock of a live copy") << QByteArray("held") << 2 * 86400 << false;
    }
    void lockInProcess() {
        auto [lockFile, ageSeconds] = fetch<QByteArray, int>("lockFile", "ageSeconds");
        QTemporaryDir tmp;
        const QString path = InstanceLock::lockPath(tmp.path());
        InstanceLock holder;
        QVERIFY(lockFile == "held" ? holder.acquire(tmp.path()) : lockFile.isEmpty() || writeAll(path, lockFile));
        QFile f(path);
        if (!lockFile.isEmpty())
            QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                                                  QFileDevice::FileModificationTime));
        InstanceLock lock, again;
        QTEST(lock.acquire(tmp.path()), "acquired");
        QVERIFY(!again.acquire(tmp.path()));  // refused while a holder in a live process keeps it
        InstanceLock fresh;  // a folder not there yet is made, and holds its lock
        QVERIFY(fresh.acquire(tmp.path() + "/new") && QFileInfo::exists(InstanceLock::lockPath(tmp.path() + "/new")));
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
            QVERIFY(lock.acquire(tmp.path()) && !QFileInfo::exists(InstanceLock::lockPath(tmp.path())));
            QVERIFY(InstanceLock::fallbackLockPath(tmp.path()).startsWith(userA.path()) && !other.acquire(tmp.path()));
            asUser(userB);
            QVERIFY(otherUser.acquire(tmp.path()));
            asUser(userA);
        }
        InstanceLock next;  // released with the first holder
        QVERIFY(next.acquire(tmp.path()));
        qputenv("XDG_RUNTIME_DIR", saved);
    }

private:
    Installed m_in;
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
