// Language loader and lookup: what each kind of language file gives, and the
// messages the user sees on the way.
#include <QFile>
#include <QtTest>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ModulINI.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
const QByteArray kHeader =
    "Key\tEnglish\tEspa\xF1ol\tFran\xE7"
    "ais\tSoftware\t\r\n";
}

class TestLanguage : public QObject {
    Q_OBJECT

    QScopedPointer<TestHome> m_home;

    QString lngPath() const { return m_home->file("PilmoraASCII.LNG"); }
    void setFiles(const QByteArray& lng, const QByteArray& resources) {
        QFile::remove(lngPath());
        if (!lng.isNull()) QVERIFY(writeAll(lngPath(), lng));
        if (!resources.isNull()) QVERIFY(writeAll(m_home->file("RESOURCES.LNG"), resources));
    }

private slots:
    void init() { m_home.reset(new TestHome(false, false)); }
    void cleanup() { m_home.reset(); }

    // Which file is used, which messages appear, and whether the program may go on.
    void loading_data() {
        QTest::addColumn<QByteArray>("lng");
        QTest::addColumn<QByteArray>("resources");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("messages");  // %1 = path of PilmoraASCII.LNG
        QTest::addColumn<QStringList>("idiomas");

        const QByteArray body = kHeader + "Hello\tHello\tHola\tBonjour\r\n";
        const QStringList three = {"English", QString::fromUtf8("Español"), QString::fromUtf8("Français")};
        const QString notFound = "File not found. %1", fatal = "Error or File not found. %1";
        const QByteArray none;
        auto bad = [&](const char* name, const QByteArray& lng) {
            QTest::newRow(name) << lng << none << false << QStringList{fatal} << QStringList();
        };
        QTest::newRow("normal") << body << none << true << QStringList() << three;
        QTest::newRow("fallback file") << none << body << true << QStringList{notFound} << three;
        QTest::newRow("both missing") << none << none << false << QStringList{notFound, fatal} << QStringList();
        bad("empty file", "");
        bad("header without TAB", "Key English\r\n");
        bad("last field needs a TAB after it", "Key\tEnglish\r\nHello\tHi\r\n");
        QTest::newRow("names trimmed, stop at Software")
            << QByteArray("Key\t English \t Deutsch\t Software \tN\t\r\n") << none << true << QStringList()
            << QStringList{"English", "Deutsch"};
        QTest::newRow("LF lines") << QByteArray(body).replace("\r\n", "\n") << none << true << QStringList() << three;
        QByteArray binary;
        for (int i = 0; i < 2048; ++i) binary += char((i * 37 + 11) & 0xFF);
        bad("binary first file", binary);
        QTest::newRow("binary with TABs")
            << QByteArray("\x01\x02\t\xFF\xFE\t\x00\x00\t\r\n\x80\t\x81\r\n", 14) << none << true << QStringList()
            << QStringList{QString::fromUtf8("ÿþ"), QString(2, QChar(0))};
    }
    void loading() {
        QFETCH(QByteArray, lng);
        QFETCH(QByteArray, resources);
        QFETCH(bool, ok);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, idiomas);
        ScriptedPrompts prompts;
        setFiles(lng, resources);
        QCOMPARE(CargaIdioma(), ok);
        QStringList expected;
        for (const QString& m : messages) expected << m.arg(lngPath());
        QCOMPARE(prompts.texts(), expected);
        for (const auto& s : prompts.shown()) {
            QCOMPARE(s.kind, ScriptedPrompts::SystemBox);
            QCOMPARE(s.style, int(Msg::Critical));
            QCOMPARE(s.caption, QString("PilmoraASCII"));
        }
        QCOMPARE(app().Idiomas, idiomas);
    }

    void findsFileWhateverItsCase() {
        ScriptedPrompts prompts;
        setFiles(QByteArray(), QByteArray());
        QVERIFY(writeAll(m_home->file("pilmoraascii.lng"), kHeader + "A\tB\tC\tD\r\n"));
        QVERIFY(CargaIdioma());
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(Texto("A"), QString("B"));
    }

    // The text each record gives in each language, with the wrap-around of short records.
    void recordTexts_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");

        const QByteArray full = "Greet\tHello\tHola\tBonjour";
        auto row = [](const char* name, const QByteArray& record, int language, const char* key, const char* text) {
            QTest::newRow(name) << record << language << QString(key) << QString(text);
        };
        row("second language", full, 1, "Greet", "Hola");
        row("third language", full, 2, "Greet", "Bonjour");
        row("key case ignored", full, 0, "gREET", "Hello");
        row("key alone is its own text", "Lonely", 0, "Lonely", "Lonely");
        row("key and TAB gives ???", "Empty\t", 0, "Empty", "???");
        row("short record wraps to key", "K\tA", 1, "K", "K");
        // Four fields: column 5 is the key again, column 7 the second language.
        row("index just beyond gives the key", full, 3, "Greet", "Greet");
        row("index beyond wraps", full, 5, "Greet", "Hola");
        row("index -1 is the key column", full, -1, "Greet", "Greet");
        row("lower index reads as the key column", full, -7, "Greet", "Greet");
        row("fields not trimmed", "K\t  spaced  \tx\ty", 0, "K", "  spaced  ");
        row("comments and blank lines skipped", "*K\tcomment\tx\ty\r\n* note\r\n   \r\n\r\nK\tk\tb\tb", 0, "K", "k");
    }
    void recordTexts() {
        QFETCH(QByteArray, record);
        QFETCH(int, language);
        QFETCH(QString, key);
        QFETCH(QString, text);
        ScriptedPrompts prompts;
        QVERIFY(
            writeAll(m_home->file("PilmoraASCII.ini"), "[Configuracion]\r\nLanguage=" + QByteArray::number(language)));
        setFiles(kHeader + record + "\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        QCOMPARE(int(app().Idioma), language);
        QCOMPARE(Texto(key), text);
        QVERIFY2(prompts.shown().isEmpty(), qPrintable(prompts.texts().join('|')));
    }

    // A repeated key (in any case) keeps its first record; an unknown key reads "???". Both tell
    // the user, repeated keys in one message however many there are.
    void duplicateAndMissingKeys_data() {
        QTest::addColumn<QByteArray>("lng");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("first");       // its text: the first record's
        QTest::addColumn<QString>("duplicates");  // the message's lines after the path
        QTest::newRow("one repeated key") << QByteArray(kHeader + "Dup\tfirst\tx\ty\r\nDUP\tsecond\tx\ty\r\n")
                                          << QString("dup") << QString("first") << QString("DUP");
        QByteArray pasted;  // found by fuzzing: 25 keys repeated, 25 boxes before
        QVERIFY(readFileBytes(PILMORA_TEST_DATA "/common/lng-pasted-twice.LNG", &pasted));
        QTest::newRow("file pasted twice")
            << pasted << QString("&Aceptar") << QString("&OK")
            << QString("&Aceptar\r&Borrar\r&Cancelar\r&Editar\r&Eliminar\r&Grabar\r&Insertar\r&Nuevo\r"
                                 "&Salir\r&Selecc\r...");
    }
    void duplicateAndMissingKeys() {
        QFETCH(QByteArray, lng);
        QFETCH(QString, key);
        QFETCH(QString, first);
        QFETCH(QString, duplicates);
        ScriptedPrompts prompts;
        setFiles(lng + "After\tok\tx\ty\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        QCOMPARE(Texto(key), first);
        QCOMPARE(Texto("After"), QString("ok"));
        QCOMPARE(Texto("NoSuchKey"), QString("???"));
        QCOMPARE(prompts.texts(), QStringList({"Duplicated register in " + lngPath() + "\r" + duplicates,
                                               "No text found for Key: NoSuchKey"}));
        for (const auto& m : prompts.shown()) QVERIFY(m.kind == ScriptedPrompts::ToolBox && m.style == 3);
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
