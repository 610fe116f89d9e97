// Copying shipped data into an application folder without losing the user's
// edits, and the choice of the application folder.
#include <QtTest>

#include "AppFolder.h"
#include "TestSupport.h"

class TestAppFolder : public QObject {
    Q_OBJECT
private slots:
    // One shipped file through two copies: the first from `v1`, then the user's
    // action, then an upgrade to `v2`.
    void copyKeepsUsersWork_data() {
        QTest::addColumn<QString>("rel");
        // "", "edit", "delete", "preexisting" (there before any copy), "adopt" (the same, taken for a copy)
        QTest::addColumn<QString>("userAction");
        QTest::addColumn<QByteArray>("expected");  // content after the upgrade; "-" = missing
        QTest::addColumn<bool>("keptReported");
        const QString tpl = "TemplatesASCII/LON.ini", demo = "ProjectsASCII/DemoLON/LON.dat";
        QTest::newRow("untouched template upgraded") << tpl << "" << QByteArray("v2") << false;
        QTest::newRow("edited template kept") << tpl << "edit" << QByteArray("mine") << true;
        QTest::newRow("deleted template restored") << tpl << "delete" << QByteArray("v2") << false;
        QTest::newRow("deleted demo project stays deleted") << demo << "delete" << QByteArray("-") << true;
        QTest::newRow("edited demo project kept") << demo << "edit" << QByteArray("mine") << true;
        QTest::newRow("language file upgraded") << "PilmoraASCII.LNG" << "" << QByteArray("v2") << false;
        QTest::newRow("file there before any copy kept") << tpl << "preexisting" << QByteArray("mine") << true;
        QTest::newRow("build folder of older builds adopted") << tpl << "adopt" << QByteArray("v2") << false;
    }
    void copyKeepsUsersWork() {
        QFETCH(QString, rel);
        QFETCH(QString, userAction);
        QFETCH(QByteArray, expected);
        QFETCH(bool, keptReported);
        QTemporaryDir from, to;
        const QString entry = rel.section('/', 0, 0), src = from.filePath(rel), dst = to.filePath(rel);
        QDir().mkpath(QFileInfo(src).path());
        QDir().mkpath(QFileInfo(dst).path());
        QVERIFY(writeAll(src, "v1"));
        if (userAction == "preexisting" || userAction == "adopt") {
            QVERIFY(writeAll(dst, "mine"));
        } else {
            QCOMPARE(copyNewData(from.path(), to.path(), {entry}).copied, QStringList{rel});
            QCOMPARE(readAll(dst), QByteArray("v1"));
            QVERIFY(copyNewData(from.path(), to.path(), {entry}).copied.isEmpty());  // nothing new: nothing written
            if (userAction == "edit") QVERIFY(writeAll(dst, "mine"));
            if (userAction == "delete") QVERIFY(QFile::remove(dst));
        }
        QVERIFY(writeAll(src, "v2"));
        const DataCopyResult r = copyNewData(from.path(), to.path(), {entry}, userAction == "adopt");
        QVERIFY(r.ok());
        QCOMPARE(QFileInfo::exists(dst) ? readAll(dst) : QByteArray("-"), expected);
        QCOMPARE(r.kept.contains(rel), keptReported);
        QCOMPARE(r.copied.contains(rel), !keptReported);
    }

    // A user who puts the shipped text back gets later upgrades again.
    void revertedEditFollowsUpgrades() {
        QTemporaryDir from, to;
        QVERIFY(writeAll(from.filePath("PilmoraASCII.LNG"), "v1"));
        copyNewData(from.path(), to.path(), {"PilmoraASCII.LNG"});
        QVERIFY(writeAll(to.filePath("PilmoraASCII.LNG"), "mine"));
        QVERIFY(writeAll(from.filePath("PilmoraASCII.LNG"), "v2"));
        copyNewData(from.path(), to.path(), {"PilmoraASCII.LNG"});
        QVERIFY(writeAll(to.filePath("PilmoraASCII.LNG"), "v2"));
        copyNewData(from.path(), to.path(), {"PilmoraASCII.LNG"});
        QVERIFY(writeAll(from.filePath("PilmoraASCII.LNG"), "v3"));
        copyNewData(from.path(), to.path(), {"PilmoraASCII.LNG"});
        QCOMPARE(readAll(to.filePath("PilmoraASCII.LNG")), QByteArray("v3"));
    }

    void unwritableTargetIsReported() {
        QTemporaryDir from, to;
        QVERIFY(writeAll(from.filePath("PilmoraASCII.LNG"), "v1"));
        QVERIFY(writeAll(to.filePath("TemplatesASCII"), "a file where a folder belongs"));
        QVERIFY(QDir(from.path()).mkdir("TemplatesASCII"));
        QVERIFY(writeAll(from.filePath("TemplatesASCII/LON.ini"), "x"));
        const DataCopyResult r = copyNewData(from.path(), to.path(), {"PilmoraASCII.LNG", "TemplatesASCII"});
        QCOMPARE(r.copied, QStringList{"PilmoraASCII.LNG"});
        QCOMPARE(r.failed.size(), 1);
        QVERIFY(r.failed[0].startsWith("TemplatesASCII/LON.ini"));
    }

    // Installed copy (marker beside the data) -> per-user folder; build folder -> its own folder.
    void folderChoice_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("expected");  // "exe", "user" or a path
        QTest::newRow("build folder") << false << "" << "" << "exe";
        QTest::newRow("installed") << true << "" << "" << "user";
        QTest::newRow("installed, environment wins") << true << "" << "/srv/ws" << "/srv/ws";
        QTest::newRow("installed, --home wins") << true << "/tmp/h" << "/srv/ws" << "/tmp/h";
    }
    void folderChoice() {
        QFETCH(bool, installed);
        QFETCH(QString, home);
        QFETCH(QString, env);
        QFETCH(QString, expected);
        QTemporaryDir prefix, user;
        qputenv("XDG_DATA_HOME", user.path().toLocal8Bit());
        QStandardPaths::setTestModeEnabled(false);
        const QString exe = prefix.filePath("bin"), share = prefix.filePath("share/pilmora-ascii");
        QDir().mkpath(exe);
        QDir().mkpath(share + "/TemplatesASCII");
        QVERIFY(writeAll(share + "/PilmoraASCII.LNG", "texts"));
        QVERIFY(writeAll(share + "/TemplatesASCII/LON.ini", "tpl"));
        if (installed) QVERIFY(writeAll(share + "/" + kInstalledMarker, "1"));
        QStringList problems;
        const QString got = openAppFolder(home, env, exe, &problems);
        QVERIFY(problems.isEmpty());
        if (expected == "exe") {
            QCOMPARE(got, exe);
        } else if (expected == "user") {
            QCOMPARE(got, perUserAppFolder());
            QVERIFY(got.startsWith(user.path()));
            QCOMPARE(readAll(got + "/TemplatesASCII/LON.ini"), QByteArray("tpl"));
            QCOMPARE(readAll(got + "/PilmoraASCII.LNG"), QByteArray("texts"));
        } else {
            QCOMPARE(got, expected);
            QVERIFY(!QFileInfo::exists(expected + "/PilmoraASCII.LNG"));  // an explicit folder is used as it is
        }
    }
};

QTEST_GUILESS_MAIN(TestAppFolder)
#include "tst_appfolder.moc"
