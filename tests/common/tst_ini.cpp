// INI store: reads and writes must match the system's private-profile functions,
// because existing projects were written by them and by hand.
#include <QFile>
#include <QtTest>
#include <optional>

#include "AppGlobals.h"
#include "ModulINI.h"
#include "TestSupport.h"
#include "mIdioma.h"

class TestIni : public QObject {
    Q_OBJECT

    QString m_path;
    QScopedPointer<TestHome> m_home;

private slots:
    void init() {
        m_home.reset(new TestHome(false));
        m_path = m_home->file("test.ini");
    }
    void cleanup() { m_home.reset(); }

    void readString_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("def");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const QByteArray& file, const QString& sec, const QString& key,
                      const QString& def,
                      const QString& expected) { QTest::newRow(name) << file << sec << key << def << expected; };
        const QByteArray basic = "[Sec]\r\nKey=value\r\n";
        row("plain", basic, "Sec", "Key", "d", "value");
        row("missing key gives default", basic, "Sec", "Other", "d", "d");
        row("missing file gives default", QByteArray(), "Sec", "Key", "dflt", "dflt");
        row("section case", basic, "sEC", "Key", "d", "value");
        row("key case", basic, "Sec", "KEY", "d", "value");
        row("blanks around names", "[  Sec \t]\r\n  Key \t=v\r\n", " Sec ", "Key ", "d", "v");
        row("blanks around value", "[Sec]\r\nKey=  v a l  \t\r\n", "Sec", "Key", "d", "v a l");
        row("empty value ignores default", "[Sec]\r\nKey=\r\n", "Sec", "Key", "d", "");
        row("double quotes", "[Sec]\r\nKey=\" a b \"\r\n", "Sec", "Key", "", " a b ");
        row("unmatched quotes kept", "[Sec]\r\nKey=\"x'\r\n", "Sec", "Key", "", "\"x'");
        row("empty quotes", "[Sec]\r\nKey=\"\"\r\n", "Sec", "Key", "d", "");
        row("first key wins", "[Sec]\r\nKey=1\r\nkey=2\r\n", "Sec", "Key", "", "1");
        row("first section wins", "[Sec]\r\nA=1\r\n[sec]\r\nA=2\r\nB=3\r\n", "Sec", "B", "d", "d");
        row("garbage lines", "\x01\x02garbage\r\n[[[\r\n]]]\r\n=novalue\r\n[Sec]\r\n\xff\xfe\r\njunk\r\nKey=ok\r\n",
            "Sec", "Key", "", "ok");
        row("windows-1252 text",
            "[Sec]\r\nKey=Se\xF1"
            "al \x80\r\n",
            "Sec", "Key", "", QString::fromUtf8("Señal €"));
        row("cut to 254", "[Sec]\r\nKey=" + QByteArray(300, 'x') + "\r\n", "Sec", "Key", "", QString(254, 'x'));
        QByteArray many;
        for (int i = 0; i < 10000; ++i) many += "[S" + QByteArray::number(i) + "]\r\nK=" + QByteArray::number(i) + "\r\n";
        row("10,000 sections", many, "s9999", "k", "", "9999");
        static const char binary[] = "\x00\x01[Sec]\x00\r\nKey=\x00x\r\n\xff";
        row("binary file", QByteArray(binary, sizeof binary - 1), "Sec", "Other", "d", "d");
    }
    void readString() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, def);
        QFETCH(QString, expected);
        if (!file.isNull()) QVERIFY(writeAll(m_path, file));
        QCOMPARE(iniRead(m_path, section, key, def), expected);
    }

    void readInteger_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");  // default 7
        QTest::newRow("number") << QByteArray("42") << 42;
        QTest::newRow("not a number reads 0") << QByteArray("abc") << 0;
        QTest::newRow("empty gives default") << QByteArray("") << 7;
        QTest::newRow("blank gives default") << QByteArray("   ") << 7;
        QTest::newRow("quoted") << QByteArray("\"15\"") << 15;
        QTest::newRow("32-bit wrap") << QByteArray("4294967297") << 1;
    }
    void readInteger() {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        QVERIFY(writeAll(m_path, "[S]\r\nK=" + value + "\r\n"));
        QCOMPARE(iniReadInt(m_path, "S", "K", 7), expected);
    }

    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        auto row = [](const char* name, const QByteArray& before, const QString& sec, const QString& key,
                      const QString& value,
                      const QByteArray& after) { QTest::newRow(name) << before << sec << key << value << after; };
        row("new file", QByteArray(), "Sec", "Key", "v", "[Sec]\r\nKey=v\r\n");
        row("replace in place", "; head\r\n[Sec]\r\nA=1\r\nKey=old\r\nB=2\r\n", "Sec", "Key", "new",
            "; head\r\n[Sec]\r\nA=1\r\nKey=new\r\nB=2\r\n");
        row("replace keeps file's spelling", "[SEC]\r\n  kEy = old \r\n", "sec", "KEY", "x", "[SEC]\r\nkEy=x\r\n");
        row("append before blank line", "[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n", "a", "Z", "3",
            "[A]\r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=2\r\n");
        row("append keeps comments", "[A]\r\nX=1\r\n; note\r\n", "A", "Y", "2", "[A]\r\nX=1\r\n; note\r\nY=2\r\n");
        row("new section at end", "[A]\r\nX=1\r\n", "B", "Y", "2", "[A]\r\nX=1\r\n[B]\r\nY=2\r\n");
        row("no final newline", "[A]\r\nX=1", "A", "Y", "2", "[A]\r\nX=1\r\nY=2\r\n");
        row("LF file written CR LF", "[A]\nX=1\n#c\n", "A", "X", "5", "[A]\r\nX=5\r\n#c\r\n");
        row("empty value", "[S]\r\nK=1\r\n", "S", "K", "", "[S]\r\nK=\r\n");
        row("repeated section: first", "[S]\r\nA=1\r\n[T]\r\n[S]\r\nK=2\r\n", "S", "K", "3",
            "[S]\r\nA=1\r\nK=3\r\n[T]\r\n[S]\r\nK=2\r\n");
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull()) QVERIFY(writeAll(m_path, before));
        QVERIFY(iniWrite(m_path, section, key, value));
        QCOMPARE(readAll(m_path), after);
        // What was written reads back (blanks around the value aside).
        QCOMPARE(iniRead(m_path, section, key, "default"), value.trimmed());
    }

    // The project file is found whatever its letter case, and a file that is a
    // symbolic link is written through to its target: the link stays.
    void projectFileFound_data() {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<bool>("batched");
        QTest::newRow("lower case") << "project.ini" << false << false;
        QTest::newRow("upper case, batched") << "PROJECT.INI" << false << true;
        QTest::newRow("symbolic link") << "Project.ini" << true << false;
    }
    void projectFileFound() {
        QFETCH(QString, onDisk);
        QFETCH(bool, linked);
        QFETCH(bool, batched);
        ScriptedPrompts prompts;
        const QString dir = m_home->file("Proj"), target = m_home->file("shared/real.ini");
        QDir().mkpath(dir);
        QDir().mkpath(m_home->file("shared"));
        const QString path = dir + "/" + onDisk;
        QVERIFY(writeAll(linked ? target : path, "[Project]\r\nProt=LON\r\n"));
        if (linked) QVERIFY(QFile::link(target, path));
        app().RutaProyecto = dir;
        app().NombreIni = "Project";
        QCOMPARE(LeeIni("Project", "Prot", "none"), QStringLiteral("LON"));
        {
            std::optional<IniBatch> batch;
            if (batched) batch.emplace();
            EscribeIni("Project", "Desc", "d");
        }
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{onDisk});
        QCOMPARE(QFileInfo(path).isSymLink(), linked);
        QCOMPARE(readAll(linked ? target : path), QByteArray("[Project]\r\nProt=LON\r\nDesc=d\r\n"));
        if (linked) QCOMPARE(QDir(m_home->file("shared")).entryList(QDir::Files), QStringList{"real.ini"});
    }

    // Failed writes: one system box naming the file without its folder; the old value stays.
    void failedWrite_data() {
        QTest::addColumn<bool>("application");
        QTest::addColumn<QString>("folder");  // empty: the test home, file there and read-only
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("batched");  // two writes in a batch: told once, when it ends
        QTest::newRow("read-only application file") << true << QString() << QString("PilmoraASCII.ini") << false;
        QTest::newRow("read-only project file") << false << QString() << QString("LON.ini") << false;
        QTest::newRow("read-only project file, batched") << false << QString() << QString("LON.ini") << true;
        QTest::newRow("missing project folder") << false << QString("no/such") << QString("LON.ini") << false;
    }
    void failedWrite() {
        QFETCH(bool, application);
        QFETCH(QString, folder);
        QFETCH(QString, fileName);
        QFETCH(bool, batched);
        ScriptedPrompts prompts;
        app().RutaProyecto = folder.isEmpty() ? m_home->path() : m_home->file(folder);
        app().NombreIni = "LON";
        const QString path = app().RutaProyecto + "/" + fileName;
        const QByteArray before = "[Configuracion]\r\nLanguage=1\r\n";
        if (folder.isEmpty()) {
            QVERIFY(writeAll(path, before));
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        }
        {
            std::optional<IniBatch> batch;
            if (batched) batch.emplace();
            (application ? EscribeIniAplicacion : EscribeIni)("Configuracion", "Language", "2");
            if (batched) EscribeIni("Configuracion", "Node", "5");
            QCOMPARE(prompts.shown().isEmpty(), batched);
        }
        QCOMPARE(prompts.shown().size(), 1);
        if (batched) {  // a save: the file's path and the system's reason
            QCOMPARE(prompts.lastText(), Texto("NoSePuedeGrabar") + "\r" + path + "\rError: \rPermission denied");
        } else {
            QCOMPARE(prompts.shown()[0].kind, ScriptedPrompts::SystemBox);
            QCOMPARE(prompts.shown()[0].style, int(Msg::OKOnly));
            QCOMPARE(prompts.shown()[0].text, Texto("ErrorAlEscribirEn") + fileName);
        }
        QCOMPARE(readAll(path), folder.isEmpty() ? before : QByteArray());
        QCOMPARE((application ? LeeIniAplicacionEntero : LeeIniEntero)("Configuracion", "Language", 0),
                 folder.isEmpty() ? 1 : 0);
        QVERIFY(!QFile::exists(m_home->file("no")));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(TestIni)
#include "tst_ini.moc"
