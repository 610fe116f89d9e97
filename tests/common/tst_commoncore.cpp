// The INI store, numbers as typed, the language file, message routing and the copy of shipped data.
#include <QtTest>
#include <filesystem>
#include <optional>

#include "AnsiText.h"
#include "AppFolder.h"
#include "AppGlobals.h"
#include "ConsolePrompts.h"
#include "DownloadWriter.h"
#include "FolderRights.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
using Writes = QList<QStringList>;  // (section, key, value)
const char* const kTextoCall = "\\bTexto\\(\\s*(?:QStringLiteral\\(|QString\\(|u)?\"((?:[^\"\\\\]|\\\\.)*)\"";
const QByteArray kLngHeader =
    "Key\tEnglish\tEspa\xF1ol\tFran\xE7"
    "ais\tSoftware\t\r\n";
const QByteArray kProjectIni = "[Project]\r\nProt=LON\r\n";
}  // namespace

class TestCommonCore : public QObject {
    Q_OBJECT
    std::optional<TestHome> m_home;
    QString ini() const { return m_home->file("test.ini"); }
    QString lngPath() const { return m_home->file("PilmoraASCII.LNG"); }

private slots:
    void init() { m_home.emplace(false, false); }
    void cleanup() { m_home.reset(); }

    void reads_data() {
        // file null: none; key in section "Sec", "int:" reads it as a number, default 7
        const auto row = addColumns<QByteArray, QString, QString>("file", "key", "expected");
        const QByteArray kv = "[Sec]\r\nKey=value\r\n";
        row("plain, key case", kv, "KEY", "value");
        row("missing key", kv, "Other", "d");
        row("missing file", QByteArray(), "Key", "d");
        row("blanks around names, section case", "[  sEC \t]\r\n  Key \t=v\r\n", "Key ", "v");
        row("blanks around value", "[Sec]\r\nKey= \t v a l \t\t\r\n", "Key", "v a l");
        row("damaged from a form feed on: not read", "[Sec]\r\nA=1\r\nKey= \f v\r\n", "Key", "d");
        row("empty value ignores default", "[Sec]\r\nKey=\r\n", "Key", "");
        row("double quotes", "[Sec]\r\nKey=\" a b \"\r\n", "Key", " a b ");
        row("single quotes", "[Sec]\r\nKey='x'\r\n", "Key", "x");
        row("same letter both ends", "[Sec]\r\nKey=abca\r\n", "Key", "abca");
        row("unmatched quotes", "[Sec]\r\nKey=\"x'\r\n", "Key", "\"x'");
        row("empty quotes", "[Sec]\r\nKey=\"\"\r\n", "Key", "");
        row("first key and section win", "[Sec]\r\nKey=1\r\nkey=2\r\n[sec]\r\nB=3\r\n", "B", "d");
        row("garbage lines", "garbage\r\n[[[\r\n=novalue\r\n[Sec]\r\n\xff\xfe\r\nKey=ok\r\n", "Key", "ok");
        row("windows-1252, cut to 254", "[Sec]\r\nKey=Se\xF1\x61l \x80" + QByteArray(300, 'x'), "Key",
            u8"Señal €" + QString(247, 'x'));  // \x61: a
        static const char binary[] = "\x00\x01[Sec]\x00\r\nKey=\x00x\r\n\xff";
        row("binary file", QByteArray(binary, sizeof binary - 1), "Other", "d");
        row("number", "[Sec]\r\nKey=105\r\n", "int:Key", "105");
        row("signed, quoted", "[Sec]\r\nKey=\"-20\"\r\n", "int:Key", "-20");
        row("not a number reads 0", "[Sec]\r\nKey=abc\r\n", "int:Key", "0");
        row("blank number gives default", "[Sec]\r\nKey=  \r\n", "int:Key", "7");
        row("32-bit wrap", "[Sec]\r\nKey=4294967297\r\n", "int:Key", "1");
    }
    void reads() {
        const auto [file, key, expected] = fetch<QByteArray, QString, QString>("file", "key", "expected");
        if (!file.isNull()) QVERIFY(writeAll(ini(), file));
        const bool number = key.startsWith("int:");
        QCOMPARE(number ? QString::number(iniReadInt(ini(), "Sec", key.mid(4), 7)) : iniRead(ini(), " Sec ", key, "d"),
                 expected);
        {  // a read batch sees each file as first read, though it changes meanwhile
            IniReadBatch batch;
            const QString first = iniRead(ini(), "Sec", "Key", "d");
            QVERIFY(writeAll(ini(), "[Sec]\r\nKey=changed meanwhile\r\n"));
            QCOMPARE(iniRead(ini(), "Sec", "Key", "d"), first);
        }
        QCOMPARE(iniRead(ini(), "Sec", "Key", "d"), "changed meanwhile");
    }

    // Each list of writes, one by one and in a batch: the hand-written bytes both ways.
    void writes_data() {
        const auto row = addColumns<QByteArray, Writes, QByteArray>("before", "writes", "after");  // null: no file
        row("new file", QByteArray(), {{"Sec", "Key", "v"}}, "[Sec]\r\nKey=v\r\n");
        row("replace keeps the file's spelling", "; h\r\n[SEC]\r\nA=1\r\n  kEy = old \r\nB=2\r\n",
            {{"sec", "KEY", "x"}}, "; h\r\n[SEC]\r\nA=1\r\nkEy=x\r\nB=2\r\n");
        row("append before blank line, shifts later sections", "[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n",
            {{"a", "Z", "3"}, {"B", "Y", "4"}, {"B", "W", "5"}}, "[A]\r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=4\r\nW=5\r\n");
        row("append after comments", "[A]\r\nX=1\r\n; note\r\n[B]", {{"A", "Y", "2"}},
            "[A]\r\nX=1\r\n; note\r\nY=2\r\n[B]\r\n");
        row("new section written twice", "[A]\r\nk=0\r\n", {{"N", "k", "1"}, {"N", "k", "2"}, {"N", "j", "3"}},
            "[A]\r\nk=0\r\n[N]\r\nk=2\r\nj=3\r\n");
        row("LF and lone CR lines written CR LF", "\n[A]\nX=1\r#c\n[B]\rz=9", {{"A", "X", "5"}, {"B", "y", "1"}},
            "\r\n[A]\r\nX=5\r\n#c\r\n[B]\r\nz=9\r\ny=1\r\n");
        row("repeated section: first", "[S]\r\nA=1\r\n[T]\r\n[S]\r\nK=2\r\n", {{"S", "K", "3"}, {"S", "K", ""}},
            "[S]\r\nA=1\r\nK=\r\n[T]\r\n[S]\r\nK=2\r\n");
        row("value with a line break", "[A]\r\nk=0\r\n", {{"A", "k", "1\r\n[B]\r\nz=2"}, {"B", "z", "3"}},
            "[A]\r\nk=1\r\n[B]\r\nz=3\r\n");
        row("key holding = is the shorter key", "[A]\r\n", {{"A", "k=1", "0", "?"}, {"A", "K", "2"}}, "[A]\r\nk=2\r\n");
        row("what would read as damage written as blanks and ?", QByteArray(), {{"S", "k", "a\vb\fc\x02", "a b c?"}},
            "[S]\r\nk=a b c?\r\n");
    }
    void writes() {
        const auto [before, writes, after] = fetch<QByteArray, Writes, QByteArray>("before", "writes", "after");
        const QString one = ini(), batched = m_home->file("batched.ini");
        if (!before.isNull()) QVERIFY(writeAll(one, before) && writeAll(batched, before));
        for (const QStringList& w : writes) {
            QVERIFY(iniWrite(one, w[0], w[1], w[2]));
            QCOMPARE(iniRead(one, w[0], w[1], "?"), w.value(3, w[2].section('\r', 0, 0).trimmed()));
        }
        QCOMPARE(readAll(one), after);
        {
            IniBatch batch;
            for (const QStringList& w : writes) QVERIFY(iniWrite(batched, w[0], w[1], w[2]));
            QCOMPARE(readAll(batched), before);  // nothing on disk until the batch ends
            QCOMPARE(iniRead(batched, writes.last()[0], writes.last()[1], "?"),
                     iniRead(one, writes.last()[0], writes.last()[1], "?"));
        }
        QCOMPARE(readAll(batched), after);
    }

    // The project file is found in any letter case or through a link; a write that fails is told once (for a batch
    // when it ends) naming the file, and the old value stays.
    void fileWrites_data() {
        // file: below the test home, "PilmoraASCII.ini" the application file; how: "link" (to real.ini), "ro"
        // read-only, "batch" two writes in a batch; message: the key of what is told; after: the bytes, null: none
        const auto row = addColumns<QString, QString, QString, QByteArray>("file", "how", "message", "after");
        const QByteArray& before = kProjectIni;
        row("upper case, batched", "Proj/PROJECT.INI", "batch", "", before + "Desc=d\r\nNode=5\r\n");
        row("symbolic link", "Proj/Project.ini", "link", "", before + "Desc=d\r\n");
        row("read-only application file", "PilmoraASCII.ini", "ro", "ErrorAlEscribirEn", before);
        row("read-only project file, batched", "Proj/Project.ini", "ro batch", "NoSePuedeGrabar", before);
        row("missing project folder", "no/such/Project.ini", "", "ErrorAlEscribirEn", QByteArray());
        row("project folder whose files cannot be replaced", "Proj/Project.ini", "keep", "ErrorAlEscribirEn", before);
        row("full disk, batched", "Proj/Project.ini", "full batch", "NoSePuedeGrabar", before);
        row("full disk", "PilmoraASCII.ini", "full", "ErrorAlEscribirEn", before);
    }
    void fileWrites() {
        const auto [file, how, message, after] =
            fetch<QString, QString, QString, QByteArray>("file", "how", "message", "after");
        CargaIdioma();
        ScriptedPrompts prompts;
        const QString path = m_home->file(file), target = m_home->file("real.ini"), dir = QFileInfo(path).path();
        const bool application = !file.contains('/'), linked = how.contains("link"), batched = how.contains("batch");
        if (!after.isNull()) QVERIFY(QDir().mkpath(dir) && writeAll(linked ? target : path, kProjectIni));
        if (linked) QVERIFY(QFile::link(target, path));
        if (how.contains("ro")) QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        app().RutaProyecto = dir;
        app().NombreIni = "Project";
        const auto read = application ? LeeIniAplicacion : LeeIni;
        QCOMPARE(read("Project", "Prot", "-"), after.isNull() ? "-" : "LON");
        {
            std::optional<NoWriteFolder> keep;  // new files can be made, none put in place of another
            if (how.contains("keep") && !keep.emplace(dir, true).active()) QSKIP("no append-only folders here");
            std::optional<FullDisk> full;
            if (how.contains("full")) full.emplace(kProjectIni.size());
            std::optional<IniBatch> batch;
            if (batched) batch.emplace();
            (application ? EscribeIniAplicacion : EscribeIni)("Project", "Desc", "d");
            if (batched) EscribeIni("Project", "Node", "5");
            QCOMPARE(prompts.shown().isEmpty(), batched || message.isEmpty());
        }
        const QString where = batched ? "\r" + path + "\rError: \r" +
                                            QString(how.contains("full") ? "File too large" : "Permission denied")
                                      : QFileInfo(path).fileName();
        QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{Texto(message) + where});
        QCOMPARE(read("Project", "Desc", "-"), message.isEmpty() ? "d" : "-");
        QCOMPARE(readAll(linked ? target : path), after);
        QCOMPARE(QFileInfo(path).isSymLink(), linked);
        QCOMPARE(QDir(dir).entryList({"*.ini"}, QDir::Files),
                 after.isNull() ? QStringList() : QStringList{QFileInfo(path).fileName()});
        QVERIFY(!QFile::exists(m_home->file("no")));
    }

    // Outside a batch read, a project file renamed to another letter case is looked for again.
    void renamedBetweenReads() {
        const QString dir = m_home->file("Proj");
        QVERIFY(QDir().mkpath(dir) && writeAll(dir + "/Project.ini", kProjectIni));
        app().RutaProyecto = dir, app().NombreIni = "Project";
        QCOMPARE(LeeIni("Project", "Prot", "-"), "LON");
        QVERIFY(QFile::rename(dir + "/Project.ini", dir + "/PROJECT.INI"));
        QCOMPARE(LeeIni("Project", "Prot", "-"), "LON");
    }

    // A file written again at the same size within its time stamp's second is read again, not taken from the cache.
    void rewrittenUnderTheSameStamp() {
        const std::string path = QFile::encodeName(m_home->file("S.ini")).toStdString();
        QVERIFY(writeAll(m_home->file("S.ini"), "[S]\r\nA=1\r\n"));
        const auto stamp = std::filesystem::last_write_time(path);
        QCOMPARE(iniRead(m_home->file("S.ini"), "S", "A", "-"), "1");
        QVERIFY(writeAll(m_home->file("S.ini"), "[S]\r\nA=2\r\n"));
        std::filesystem::last_write_time(path, stamp);
        QCOMPARE(iniRead(m_home->file("S.ini"), "S", "A", "-"), "2");
    }

    void numbers_data() {
        addColumns<QString, double, int>("text", "value", "cint");
        // text|Val|CInt
        for (const QString& r :
             QString(
                 " |0|0;12abc|12|12; 1 2 3|123|123;\t1\n2\r3|123|123;12,5|12|12;&HFFFF|-1|-1;&O17|15|15;1e3|1000|1000;"
                 "1D2|100|100;1.2.3|1.2|1;2.5|2.5|2;-2.5|-2.5|-2;1.5|1.5|2;32767.4|32767.4|32767;"
                 "40000|40000|32767;-40000|-40000|-32768;32768|32768|32767;32767.5|32767.5|32767;"
                 "-32768|-32768|-32768;-32769|-32769|-32768;&H10000|65536|32767;&HFFFFFFFF|-1|-1;"
                 "&H100000000|4294967296|32767;&H1000000000000000F|1152921504606846976|32767;"
                 "15e|15|15;-7e+|-7|-7;-|0|0;+e|0|0")
                 .split(';')) {
            const QStringList f = r.split('|');
            QTest::newRow(qPrintable(f[0])) << f[0] << f[1].toDouble() << f[2].toInt();
        }
    }
    void numbers() {
        const auto [text, value, cint] = fetch<QString, double, int>("text", "value", "cint");
        bool over = false;
        QCOMPARE(Val(text), value);
        QCOMPARE(int(CInt(value, &over)), cint);
        QCOMPARE(over, cint != std::nearbyint(value));  // said whenever the limit replaced the value
    }

    void texts() {
        QCOMPARE(RedondeaPar(-9.2e18), std::numeric_limits<qint64>::min());
        QCOMPARE(RedondeaPar(9.3e18), std::numeric_limits<qint64>::max());
        for (double special : {qQNaN(), qInf(), -qInf()})  // no number: 0, never a limit
            QCOMPARE(RedondeaPar(special), qint64(0));
        QVERIFY(writeFileAtomic("/dev/null", "x"));  // a device is written in place, never replaced
        QByteArray content("\xff\xff\x01");          // the download's checksum goes before its content
        QCOMPARE(Calcula_Checksum(content), 0x1FFu);
        QCOMPARE(content, QByteArray("\xff\x01\x00\x00\xff\xff\x01", 7));
        QCOMPARE(sumaBytes(QByteArray(300, char(0xFF))), quint32(300 * 255));  // bytes are added unsigned
        // Read back, each of the four bytes in its place; a file too short carries none; the sum skips it.
        QCOMPARE(QList<quint32>({checksumGuardado("\x78\x56\x34\x12z"), checksumGuardado("\xff\xff\xff"),
                                 sumaBytes("\xff\xff\xff\xff"
                                           "ab",
                                           4)}),
                 QList<quint32>({0x12345678u, 0u, quint32('a' + 'b')}));
        QCOMPARE(Reemplaza("aaa", "a", "aa"), QString("aaaaaa"));  // no endless loop
        QCOMPARE(Normaliza_Decimal("1,5,6"), QString("1.5,6"));
        QByteArray all;
        for (int i = 0; i < 256; ++i) all.append(char(i));
        QCOMPARE(toAnsi(fromAnsi(all)), all);
        QCOMPARE(toAnsi(QString::fromUtf8("\u20ac\u4e2d")), QByteArray("\x80?"));
        // Either side of the 0x80-0x9F block: only its five undefined bytes pass as C1 controls.
        QCOMPARE(toAnsi(QString::fromUtf16(u"\u007f\u0080\u0081\u009f\u00a0")), QByteArray("\x7f?\x81?\xa0"));
        QCOMPARE(visibleText(QString::fromLatin1("A\x01\x1f\tB\r\nC\x7f\x81\xe9", 11)),
                 QString::fromLatin1("A??\tB\r\nC??\xe9"));
    }

    // Every system of the family up to the last has its own slot, found again by its name.
    void protocolSlots() {
        QStringList gaps;
        for (int i = 1; i < 45; ++i)
            if (app().Protocolos[i].isEmpty() || slotDeProtocolo(app().Protocolos[i]) != i) gaps << QString::number(i);
        QCOMPARE(gaps, QStringList());
        QCOMPARE(slotDeProtocolo("lon") + slotDeProtocolo("Mbs6"), kSlotLon + kSlotMbs6);
    }

    // Values of the download file, little-endian; a value out of range is clamped and marks the file faulty.
    void downloadBytes_data() {
        addColumns<QString, double, QByteArray, bool>("kind", "value", "bytes", "fault");
        auto row = [](const char* k, double v, const QByteArray& b, bool f) {
            QTest::newRow(qPrintable(QString("%1 %2").arg(k).arg(v))) << QString(k) << v << b << f;
        };
        row("integer", -32768, QByteArray("\x00\x80", 2), false);
        row("integer", -32769, QByteArray("\x00\x80", 2), true);
        row("integer", 32768, "\xff\x7f", true);
        row("integer", 2.5, QByteArray("\x02\x00", 2), false);
        row("long", -2147483649.0, QByteArray("\x00\x00\x00\x80", 4), true);
        row("long", 305419896, "\x78\x56\x34\x12", false);
        row("byte", 256, "\xff", true);
        row("byte", -1, QByteArray("\x00", 1), true);
    }
    void downloadBytes() {
        const auto [kind, value, bytes, fault] =
            fetch<QString, double, QByteArray, bool>("kind", "value", "bytes", "fault");
        DownloadWriter w;
        kind == "integer" ? w.integer(value) : kind == "long" ? w.longValue(value) : w.byte(value);
        QCOMPARE(w.bytes(), bytes);
        QCOMPARE(w.faulted(), fault);
    }

    // Messages reach whatever shows them; the console keeps them in order and answers for the user.
    void messageRouting() {
        ConsolePrompts console(false);
        installPrompts(&console);
        const int box = Msgbox1("one", "", 1, 1, 2), yes = MsgBox("two", Msg::YesNo, ""), ok = MsgBox("three", 0, "");
        const QString typed = PideDato("t", "four", "dflt");
        installPrompts(nullptr);
        QCOMPARE(console.shown(), QStringList({"one", "two", "three", "four"}));
        QCOMPARE(QList<int>({box, yes, ok}), QList<int>({1, int(Msg::Yes), int(Msg::OK)}));
        QCOMPARE(typed, QString("dflt"));
        ScriptedPrompts scripted;
        scripted.queueAnswer(2);
        QCOMPARE(Msgbox1("Go?", "", 1, 1, 2, "Yes", "No"), 2);
        QCOMPARE(int(app().RespuestaMsgBox), 2);  // read later by the download question
    }

    // The language file, found in any letter case, and the texts of the chosen language: short records wrap, a
    // repeated key keeps its first record and is told once.
    void language_data() {
        // lookups: "key=text"; messages: %1 the file's path, "!" first: loading fails
        addColumns<QByteArray, QByteArray, int, QStringList, QStringList, QStringList>(
            "lng", "resources", "language", "lookups", "messages", "idiomas");
        using L = QStringList;
        auto row = [](const char* n, const QByteArray& lng, const QByteArray& res, int language, const L& lookups,
                      const L& messages = {}, const L& idiomas = {"English", u8"Español", u8"Français"}) {
            QTest::newRow(n) << lng << res << language << lookups << messages << idiomas;
        };
        const QByteArray body = kLngHeader + "Greet\tHello\tHola\tBonjour\r\n", none;
        const QString fatal = "Error or File not found. %1", notFound = "No text found for Key: NoSuchKey";
        row("first language, key case", body, none, 0, {"gREET=Hello"});
        row("LF lines", QByteArray(body).replace("\r\n", "\n"), none, 0, {"Greet=Hello"});
        row("lone CR lines", QByteArray(body).replace("\r\n", "\r"), none, 0, {"Greet=Hello"});
        row("fallback file", none, body, 0, {"Greet=Hello"}, {"File not found. %1"});
        row("both missing", none, none, 0, {}, {"!", "File not found. %1", fatal}, {});
        row("empty file", "", none, 0, {}, {"!", fatal}, {});
        row("header without TAB", "Key English\r\n", none, 0, {}, {"!", fatal}, {});
        row("last name needs a TAB", "Key\tEnglish\r\nGreet\tHi\r\n", none, 0, {}, {"!", fatal}, {});
        row("names trimmed, stop at Software", "Key\t English \t Deutsch\t Software \tN\t\r\nGreet\tHi\r\n", none, 0,
            {"Greet=Hi"}, {}, {"English", "Deutsch"});
        row("binary with TABs", QByteArray("\x01\x02\t\xFF\xFE\t\x00\x00\t\r\n\x80\t\x81\r\n", 14), none, 0, {}, {},
            {u8"ÿþ", QString(2, QChar(0))});
        row("second language", body, none, 1, {"Greet=Hola"});
        row("third language", body, none, 2, {"Greet=Bonjour"});
        row("index beyond wraps", body, none, 5, {"Greet=Hola"});
        row("index -1 is the key column", body, none, -1, {"Greet=Greet"});
        row("key and TAB gives ???", kLngHeader + "Empty\t", none, 0, {"Empty=???"});
        row("short record wraps to key", kLngHeader + "K\tA", none, 1, {"K=K"});
        row("fields not trimmed", kLngHeader + "K\t  spaced  \tx\ty", none, 0, {"K=  spaced  "});
        row("comments and blank lines skipped", kLngHeader + "*K\tcomment\tx\ty\r\n* note\r\n   \r\n\r\nK\tk\tb\tb",
            none, 0, {"K=k"});
        row("one repeated key", kLngHeader + "Dup\tfirst\tx\ty\r\nDUP\tsecond\tx\ty\r\nAfter\tok\tx\ty", none, 0,
            {"dup=first", "After=ok", "NoSuchKey=???"}, {"Duplicated register in %1\rDUP", notFound});
        QByteArray pasted;
        QVERIFY(readFileBytes(testData("common/lng-pasted-twice.LNG"), &pasted));
        row("file pasted twice", pasted, none, 0, {"&Aceptar=&OK"},
            {"Duplicated register in %1\r&Aceptar\r&Borrar\r&Cancelar\r&Editar\r&Eliminar\r&Grabar\r&Insertar\r&Nuevo\r"
             "&Salir\r&Selecc\r..."});
    }
    void language() {
        const auto [lng, resources, language, lookups, messages, idiomas] =
            fetch<QByteArray, QByteArray, int, QStringList, QStringList, QStringList>("lng", "resources", "language",
                                                                                      "lookups", "messages", "idiomas");
        ScriptedPrompts prompts;
        QFile::remove(lngPath());
        if (!lng.isNull()) QVERIFY(writeAll(m_home->file("pilmoraascii.lng"), lng));
        if (!resources.isNull()) QVERIFY(writeAll(m_home->file("RESOURCES.LNG"), resources));
        QVERIFY(
            writeAll(m_home->file("PilmoraASCII.ini"), "[Configuracion]\r\nLanguage=" + QByteArray::number(language)));
        const bool fails = messages.value(0) == "!";
        QCOMPARE(CargaIdioma(), !fails);
        QCOMPARE(app().Idiomas, idiomas);
        for (const QString& l : lookups) QCOMPARE(Texto(l.section('=', 0, 0)), l.section('=', 1));
        const QString path = lng.isNull() ? lngPath() : m_home->file("pilmoraascii.lng");
        QCOMPARE(prompts.texts().join('\n'), messages.mid(fails ? 1 : 0).join('\n').replace("%1", path));
        for (const auto& s : prompts.shown())  // a file that cannot serve is an error; duplicates only a warning
            QCOMPARE(s.style, s.kind == ScriptedPrompts::SystemBox ? int(Msg::Critical) : 3);
    }

    // The delivered file: Windows-1252, CR LF, and every key the program asks for filled in every language.
    void deliveredLanguageFile() {
        const QByteArray bytes = readAll(QStringLiteral(PILMORA_SOURCE_DIR) + "/data/PilmoraASCII.LNG");
        static const QRegularExpression utf8("[\\xC2-\\xDF][\\x80-\\xBF]|[\\xE0-\\xEF][\\x80-\\xBF]{2}");
        QVERIFY(!utf8.match(QString::fromLatin1(bytes)).hasMatch());
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QSet<QString> keys;
        for (const QString& k : QString::fromUtf8(readAll(testData("common/language-keys.txt"))).split('\n'))
            if (!k.trimmed().isEmpty()) keys.insert(k.trimmed());
        const QRegularExpression used(kTextoCall);
        QDirIterator it(QStringLiteral(PILMORA_SOURCE_DIR) + "/src", {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            for (auto m = used.globalMatch(QString::fromUtf8(readAll(it.next()))); m.hasNext();)
                keys.insert(m.next().captured(1).replace("\\\"", "\""));
        QVERIFY(keys.size() > 100 && keys.contains("ErrorAlEscribirEn"));
        // A caption, title or tool tip written as a literal would show English in every language.
        static const QRegularExpression literal(
            "(setWindowTitle|setToolTip|setTitle|setText|setPlaceholderText|QGroupBox|QRadioButton|QPushButton|"
            "QCheckBox|"
            "QLabel)\\((QStringLiteral|QString::fromLatin1|QLatin1String)?\\(?\"[^\"]*[A-Za-z]");
        QStringList literals;
        for (QDirIterator src(QStringLiteral(PILMORA_SOURCE_DIR) + "/src", {"*.cpp"}, QDir::Files,
                              QDirIterator::Subdirectories);
             src.hasNext();)
            for (auto m = literal.globalMatch(QString::fromUtf8(readAll(src.next()))); m.hasNext();)
                literals << src.fileName() + ": " + m.next().captured(0);
        QCOMPARE(literals, QStringList());
        for (int language = 0; language < 3; ++language) {
            ScriptedPrompts prompts;
            QVERIFY(writeAll(m_home->file("PilmoraASCII.ini"),
                             "[Configuracion]\r\nLanguage=" + QByteArray::number(language)));
            QVERIFY(CargaIdioma());
            QCOMPARE(prompts.texts(), QStringList());  // no repeated key
            for (const QString& k : keys)
                QVERIFY2(
                    !app().Textos.value(k.toLower()).trimmed().isEmpty() && app().Textos.value(k.toLower()) != "???",
                    qPrintable(k + " empty in language " + QString::number(language)));
        }
    }

    // One shipped file through two copies: first `v1`, then the user's action, then an upgrade to `v2`.
    void dataCopy_data() {
        // userAction: "", edit, delete, preexisting, adopt (older build folder), revert; expected "-": missing
        addColumns<QString, QString, QByteArray>("rel", "userAction", "expected");
        const QString tpl = "TemplatesASCII/LON.ini", demo = "ProjectsASCII/DemoLON/LON.dat";
        QTest::newRow("untouched template upgraded") << tpl << "" << QByteArray("v2");
        QTest::newRow("edited template kept") << tpl << "edit" << QByteArray("mine");
        QTest::newRow("deleted template restored") << tpl << "delete" << QByteArray("v2");
        QTest::newRow("deleted demo project stays deleted") << demo << "delete" << QByteArray("-");
        QTest::newRow("file there before any copy kept") << tpl << "preexisting" << QByteArray("mine");
        QTest::newRow("build folder of older builds adopted") << tpl << "adopt" << QByteArray("v2");
        QTest::newRow("edit put back follows upgrades") << tpl << "revert" << QByteArray("v2");
        QTest::newRow("a file in its folder's place: not copied, said") << tpl << "blocked" << QByteArray("-");
    }
    void dataCopy() {
        const auto [rel, userAction, expected] = fetch<QString, QString, QByteArray>("rel", "userAction", "expected");
        QTemporaryDir from, to;
        const QString entry = rel.section('/', 0, 0), src = from.filePath(rel), dst = to.filePath(rel);
        for (const QString& f : {src, dst}) QDir().mkpath(QFileInfo(f).path());
        QVERIFY(writeAll(src, "v1"));
        if (userAction == "preexisting" || userAction == "adopt")
            QVERIFY(writeAll(dst, "mine"));
        else {
            QCOMPARE(copyNewData(from.path(), to.path(), {entry}).copied, QStringList{rel});
            QVERIFY(copyNewData(from.path(), to.path(), {entry}).copied.isEmpty());
            if (userAction == "edit" || userAction == "revert") QVERIFY(writeAll(dst, "mine"));
            if (userAction == "revert") {
                copyNewData(from.path(), to.path(), {entry});
                QVERIFY(writeAll(dst, "v1"));
            }
            if (userAction == "delete") QVERIFY(QFile::remove(dst));
            if (userAction == "blocked")
                QVERIFY(QDir(QFileInfo(dst).path()).removeRecursively() && writeAll(QFileInfo(dst).path(), "a file"));
        }
        QVERIFY(writeAll(src, "v2"));
        const DataCopyResult r = copyNewData(from.path(), to.path(), {entry}, userAction == "adopt");
        QVERIFY(r.ok() == r.failed.isEmpty() && r.failed.size() == (userAction == "blocked"));
        for (const QString& f : r.failed)  // named, with why
            QVERIFY2(f.startsWith(rel + ": ") && f.size() > rel.size() + 2, qPrintable(f));

        QCOMPARE(QFileInfo::exists(dst) ? readAll(dst) : QByteArray("-"), expected);
        QCOMPARE(r.copied.contains(rel), expected == "v2");
        QCOMPARE(r.kept.contains(rel), expected != "v2" && userAction != "blocked");
    }
};

QTEST_GUILESS_MAIN(TestCommonCore)
#include "tst_commoncore.moc"
