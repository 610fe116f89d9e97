// INI store: reads and writes must match the system's private-profile functions,
// because existing projects were written by them and by hand.
#include <QFile>
#include <QtTest>

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

        const QByteArray basic = "[Sec]\r\nKey=value\r\n";
        QTest::newRow("plain") << basic << "Sec" << "Key" << "d" << "value";
        QTest::newRow("missing key gives default") << basic << "Sec" << "Other" << "d" << "d";
        QTest::newRow("missing section gives default") << basic << "Nope" << "Key" << "d" << "d";
        QTest::newRow("missing file gives default") << QByteArray() << "Sec" << "Key" << "dflt" << "dflt";
        QTest::newRow("default loses trailing blanks") << basic << "Sec" << "Other" << "  d  " << "  d";
        QTest::newRow("section case") << basic << "sEC" << "Key" << "d" << "value";
        QTest::newRow("key case") << basic << "Sec" << "KEY" << "d" << "value";
        QTest::newRow("accented case") << QByteArray("[Configuraci\xD3N]\r\nA=1\r\n") << QString::fromUtf8("configuración")
                                       << "a" << "" << "1";
        QTest::newRow("blanks around names") << QByteArray("[  Sec \t]\r\n  Key \t=v\r\n") << " Sec " << "Key " << "d" << "v";
        QTest::newRow("blanks around value") << QByteArray("[Sec]\r\nKey=  v a l  \t\r\n") << "Sec" << "Key" << "d"
                                             << "v a l";
        QTest::newRow("empty value ignores default") << QByteArray("[Sec]\r\nKey=\r\n") << "Sec" << "Key" << "d" << "";
        QTest::newRow("blank value ignores default") << QByteArray("[Sec]\r\nKey=   \r\n") << "Sec" << "Key" << "d" << "";
        QTest::newRow("double quotes") << QByteArray("[Sec]\r\nKey=\" a b \"\r\n") << "Sec" << "Key" << "" << " a b ";
        QTest::newRow("single quotes") << QByteArray("[Sec]\r\nKey='x'\r\n") << "Sec" << "Key" << "" << "x";
        QTest::newRow("unmatched quotes kept") << QByteArray("[Sec]\r\nKey=\"x'\r\n") << "Sec" << "Key" << "" << "\"x'";
        QTest::newRow("lone quote kept") << QByteArray("[Sec]\r\nKey=\"\r\n") << "Sec" << "Key" << "" << "\"";
        QTest::newRow("empty quotes") << QByteArray("[Sec]\r\nKey=\"\"\r\n") << "Sec" << "Key" << "d" << "";
        QTest::newRow("first key wins") << QByteArray("[Sec]\r\nKey=1\r\nkey=2\r\n") << "Sec" << "Key" << "" << "1";
        QTest::newRow("first section wins") << QByteArray("[Sec]\r\nA=1\r\n[sec]\r\nA=2\r\nB=3\r\n") << "Sec" << "B"
                                            << "d" << "d";
        QTest::newRow("other section not searched") << QByteArray("[One]\r\nA=1\r\n[Two]\r\nB=2\r\n") << "One" << "B"
                                                    << "d" << "d";
        QTest::newRow("value keeps equals signs") << QByteArray("[Sec]\r\nKey=a=b\r\n") << "Sec" << "Key" << "" << "a=b";
        QTest::newRow("comment not a key") << QByteArray("[Sec]\r\n;Key=1\r\nKey=2\r\n") << "Sec" << "Key" << "" << "2";
        QTest::newRow("key before any section") << QByteArray("Key=0\r\n[Sec]\r\nKey=1\r\n") << "Sec" << "Key" << ""
                                                << "1";
        QTest::newRow("LF lines") << QByteArray("[Sec]\nKey=lf\n") << "Sec" << "Key" << "" << "lf";
        QTest::newRow("CR lines") << QByteArray("[Sec]\rKey=cr\r") << "Sec" << "Key" << "" << "cr";
        QTest::newRow("no final newline") << QByteArray("[Sec]\r\nKey=end") << "Sec" << "Key" << "" << "end";
        QTest::newRow("text after bracket ignored") << QByteArray("[Sec] junk\r\nKey=1\r\n") << "Sec" << "Key" << ""
                                                    << "1";
        QTest::newRow("bracket without close is no section")
            << QByteArray("[Sec]\r\n[Broken\r\nKey=1\r\n") << "Sec" << "Key" << "" << "1";
        QTest::newRow("garbage lines") << QByteArray("\x01\x02garbage\r\n[[[\r\n]]]\r\n=novalue\r\n[Sec]\r\n\xff\xfe\r\n"
                                                     "junk line\r\nKey=ok\r\n")
                                       << "Sec" << "Key" << "" << "ok";
        QTest::newRow("windows-1252 text") << QByteArray("[Sec]\r\nKey=Se\xF1" "al \x80\r\n") << "Sec" << "Key" << ""
                                           << QString::fromUtf8("Señal €");
        QTest::newRow("empty key name gives default") << basic << "Sec" << "" << "d" << "d";
        const QByteArray longValue = "[Sec]\r\nKey=" + QByteArray(300, 'x') + "\r\n";
        QTest::newRow("cut to 254") << longValue << "Sec" << "Key" << "" << QString(254, 'x');
        const QByteArray quoted = "[Sec]\r\nKey=\"" + QByteArray(254, 'q') + "\"\r\n";
        QTest::newRow("quoted 254 kept whole") << quoted << "Sec" << "Key" << "" << QString(254, 'q');
        QTest::newRow("long default cut") << basic << "Sec" << "none" << QString(300, 'd') << QString(254, 'd');
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
        QTest::addColumn<int>("def");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << QByteArray("42") << 7 << 42;
        QTest::newRow("negative") << QByteArray("-42") << 7 << -42;
        QTest::newRow("plus sign") << QByteArray("+5") << 7 << 5;
        QTest::newRow("leading digits") << QByteArray("12abc") << 7 << 12;
        QTest::newRow("decimal point stops") << QByteArray("3.9") << 7 << 3;
        QTest::newRow("not a number reads 0") << QByteArray("abc") << 7 << 0;
        QTest::newRow("lone sign reads 0") << QByteArray("-") << 7 << 0;
        QTest::newRow("hex prefix not read") << QByteArray("0x1F") << 7 << 0;
        QTest::newRow("empty gives default") << QByteArray("") << 7 << 7;
        QTest::newRow("blank gives default") << QByteArray("   ") << 7 << 7;
        QTest::newRow("quoted") << QByteArray("\"15\"") << 7 << 15;
        QTest::newRow("empty quotes give default") << QByteArray("\"\"") << 7 << 7;
        QTest::newRow("blank inside stops") << QByteArray("1 2") << 7 << 1;
        QTest::newRow("32-bit wrap") << QByteArray("4294967297") << 7 << 1;
        QTest::newRow("largest") << QByteArray("2147483647") << 7 << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << 7 << int(-2147483647 - 1);
    }
    void readInteger() {
        QFETCH(QByteArray, value);
        QFETCH(int, def);
        QFETCH(int, expected);
        QVERIFY(writeAll(m_path, "[S]\r\nK=" + value + "\r\n"));
        QCOMPARE(iniReadInt(m_path, "S", "K", def), expected);
    }
    void readIntegerMissing() {
        QCOMPARE(iniReadInt(m_path, "S", "K", -3), -3);
        QVERIFY(writeAll(m_path, "[S]\r\nX=1\r\n"));
        QCOMPARE(iniReadInt(m_path, "S", "K", 9), 9);
    }

    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << QByteArray() << "Sec" << "Key" << "v" << QByteArray("[Sec]\r\nKey=v\r\n");
        QTest::newRow("replace in place")
            << QByteArray("; head\r\n[Sec]\r\nA=1\r\nKey=old\r\nB=2\r\n") << "Sec" << "Key" << "new"
            << QByteArray("; head\r\n[Sec]\r\nA=1\r\nKey=new\r\nB=2\r\n");
        QTest::newRow("replace keeps file's spelling")
            << QByteArray("[SEC]\r\n  kEy = old \r\n") << "sec" << "KEY" << "x" << QByteArray("[SEC]\r\nkEy=x\r\n");
        QTest::newRow("replace first of two") << QByteArray("[S]\r\nK=1\r\nK=2\r\n") << "S" << "K" << "3"
                                              << QByteArray("[S]\r\nK=3\r\nK=2\r\n");
        QTest::newRow("append to section before blank line")
            << QByteArray("[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n") << "a" << "Z" << "3"
            << QByteArray("[A]\r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=2\r\n");
        QTest::newRow("append to empty section") << QByteArray("[A]\r\n[B]\r\n") << "A" << "K" << "v"
                                                 << QByteArray("[A]\r\nK=v\r\n[B]\r\n");
        QTest::newRow("append keeps comments of the section")
            << QByteArray("[A]\r\nX=1\r\n; note\r\n") << "A" << "Y" << "2" << QByteArray("[A]\r\nX=1\r\n; note\r\nY=2\r\n");
        QTest::newRow("new section at end") << QByteArray("[A]\r\nX=1\r\n") << "B" << "Y" << "2"
                                            << QByteArray("[A]\r\nX=1\r\n[B]\r\nY=2\r\n");
        QTest::newRow("no final newline") << QByteArray("[A]\r\nX=1") << "A" << "Y" << "2"
                                          << QByteArray("[A]\r\nX=1\r\nY=2\r\n");
        QTest::newRow("LF file written CR LF") << QByteArray("[A]\nX=1\n#c\n") << "A" << "X" << "5"
                                               << QByteArray("[A]\r\nX=5\r\n#c\r\n");
        QTest::newRow("garbage kept") << QByteArray("\x01junk\r\n[A]\r\n???\r\n") << "A" << "K" << "v"
                                      << QByteArray("\x01junk\r\n[A]\r\n???\r\nK=v\r\n");
        QTest::newRow("value written as it stands") << QByteArray() << "S" << "K" << " padded "
                                                    << QByteArray("[S]\r\nK= padded \r\n");
        QTest::newRow("empty value") << QByteArray("[S]\r\nK=1\r\n") << "S" << "K" << "" << QByteArray("[S]\r\nK=\r\n");
        QTest::newRow("windows-1252 bytes") << QByteArray() << "S" << "K" << QString::fromUtf8("Señal €")
                                            << QByteArray("[S]\r\nK=Se\xF1" "al \x80\r\n");
        QTest::newRow("key in repeated section goes to first")
            << QByteArray("[S]\r\nA=1\r\n[T]\r\n[S]\r\nK=2\r\n") << "S" << "K" << "3"
            << QByteArray("[S]\r\nA=1\r\nK=3\r\n[T]\r\n[S]\r\nK=2\r\n");
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

    // Many writes in a row (as a gateway save does) read back exactly as a fresh
    // read of the same bytes does.
    void writesInARowMatchAFreshRead() {
        QVERIFY(writeAll(m_path, "; settings\r\n[A]\r\nX=1\r\n\r\n[B]\r\n[a]\r\nY=dup\r\n[C]\r\nZ=3"));
        const QStringList sections = {"A", "b", "C", "New", " a ", "Later"};
        const QStringList keys = {"X", "y", "Z", "K1", "k2", "Value"};
        quint32 seed = 12345;
        auto next = [&seed](int n) { return int((seed = seed * 1103515245u + 12345u) >> 16) % n; };
        for (int i = 0; i < 300; ++i) {
            const QString value = next(5) == 0 ? QString() : QString::number(i);
            QVERIFY(iniWrite(m_path, sections[next(sections.size())], keys[next(keys.size())], value));
        }
        const QString copy = m_home->file("copy.ini");
        QVERIFY(writeAll(copy, readAll(m_path)));
        for (const QString& sec : sections)
            for (const QString& key : keys)
                QCOMPARE(iniRead(m_path, sec, key, "-"), iniRead(copy, sec, key, "-"));
        QVERIFY(readAll(m_path).contains("[a]\r\nY=dup\r\n"));  // the repeated section is never touched
    }

    void externalChangeOfSameSizeIsSeen() {
        QVERIFY(writeAll(m_path, "[S]\r\nK=1\r\n"));
        QCOMPARE(iniRead(m_path, "S", "K", ""), QString("1"));
        QVERIFY(writeAll(m_path, "[S]\r\nK=2\r\n"));
        QCOMPARE(iniRead(m_path, "S", "K", ""), QString("2"));
        QFile::remove(m_path);
        QCOMPARE(iniRead(m_path, "S", "K", "gone"), QString("gone"));
    }

    void manySections() {
        QByteArray big;
        for (int i = 0; i < 10000; ++i) big += "[S" + QByteArray::number(i) + "]\r\nK=" + QByteArray::number(i) + "\r\n";
        QVERIFY(writeAll(m_path, big));
        QCOMPARE(iniReadInt(m_path, "s0", "k", -1), 0);
        QCOMPARE(iniReadInt(m_path, "S9999", "K", -1), 9999);
        QCOMPARE(iniRead(m_path, "S10000", "K", "none"), QString("none"));
        QVERIFY(iniWrite(m_path, "S5000", "K", "x"));
        QVERIFY(iniWrite(m_path, "S10000", "K", "new"));
        QCOMPARE(iniRead(m_path, "S5000", "K", ""), QString("x"));
        QCOMPARE(iniRead(m_path, "S10000", "K", ""), QString("new"));
        QCOMPARE(iniReadInt(m_path, "S4999", "K", -1), 4999);
    }

    void binaryFileReadsDefaults() {
        QByteArray junk;
        for (int i = 0; i < 4096; ++i) junk += char((i * 131 + 7) & 0xFF);
        QVERIFY(writeAll(m_path, junk));
        QCOMPARE(iniRead(m_path, "S", "K", "d"), QString("d"));
        QVERIFY(iniWrite(m_path, "S", "K", "v"));
        QCOMPARE(iniRead(m_path, "S", "K", "d"), QString("v"));
        // Every byte but the line ends survives the rewrite.
        auto noLineEnds = [](QByteArray b) { return b.replace('\r', "").replace('\n', ""); };
        QCOMPARE(noLineEnds(readAll(m_path)), noLineEnds(junk) + "[S]K=v");
    }

    // Failed writes: the message names the file without its folder; nothing changes.
    void failedWrite_data() {
        QTest::addColumn<bool>("application");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("application file") << true << "PilmoraASCII.ini";
        QTest::newRow("project file") << false << "LON.ini";
    }
    void failedWrite() {
        QFETCH(bool, application);
        QFETCH(QString, fileName);
        ScriptedPrompts prompts;
        app().RutaProyecto = m_home->path();
        app().NombreIni = "LON";
        const QString path = m_home->file(fileName);
        const QByteArray before = "[Configuracion]\r\nLanguage=1\r\n";
        QVERIFY(writeAll(path, before));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        if (application)
            EscribeIniAplicacion("Configuracion", "Language", "2");
        else
            EscribeIni("Configuracion", "Language", "2");
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown()[0].kind, ScriptedPrompts::SystemBox);
        QCOMPARE(prompts.shown()[0].style, int(Msg::OKOnly));
        QCOMPARE(prompts.shown()[0].text, Texto("ErrorAlEscribirEn") + fileName);
        QCOMPARE(readAll(path), before);
        const int now = application ? LeeIniAplicacionEntero("Configuracion", "Language", 0)
                                    : LeeIniEntero("Configuracion", "Language", 0);
        QCOMPARE(now, 1);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void missingFolderWrite() {
        ScriptedPrompts prompts;
        app().RutaProyecto = m_home->file("no/such/folder");
        app().NombreIni = "MBS6";
        EscribeIni("Console", "Port", "23");
        QCOMPARE(prompts.texts(), QStringList(Texto("ErrorAlEscribirEn") + "MBS6.ini"));
        QVERIFY(!QFile::exists(m_home->file("no")));
    }

    void successfulWriteShowsNothing() {
        ScriptedPrompts prompts;
        EscribeIniAplicacion("Configuracion", "LastProject", "Demo");
        QCOMPARE(LeeIniAplicacion("configuracion", "lastproject", ""), QString("Demo"));
        QVERIFY(prompts.shown().isEmpty());
        QVERIFY(QFile::exists(m_home->file("PilmoraASCII.ini")));
    }

    void projectFileName_data() {
        QTest::addColumn<QString>("nombreIni");
        QTest::addColumn<QString>("file");
        QTest::newRow("protocol file") << "LON" << "LON.ini";
        QTest::newRow("description file") << "Project" << "Project.ini";
        QTest::newRow("empty uses the section") << "" << "ASCII.ini";
    }
    void projectFileName() {
        QFETCH(QString, nombreIni);
        QFETCH(QString, file);
        app().RutaProyecto = m_home->path();
        app().NombreIni = nombreIni;
        QVERIFY(writeAll(m_home->file(file), "[ASCII]\r\nIP=127.0.0.1\r\n"));
        QCOMPARE(LeeIni("ASCII", "IP", "192.168.100.246"), QString("127.0.0.1"));
        EscribeIni("ASCII", "IP", "127.0.0.2");
        QCOMPARE(readAll(m_home->file(file)), QByteArray("[ASCII]\r\nIP=127.0.0.2\r\n"));
        QCOMPARE(rutaIniProyecto("ASCII"), m_home->file(file));
    }
};

QTEST_GUILESS_MAIN(TestIni)
#include "tst_ini.moc"
