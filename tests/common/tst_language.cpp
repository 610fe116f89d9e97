// Language loader and lookup: what each kind of language file gives, and the
// messages the user sees on the way.
#include <QFile>
#include <QtTest>

#include "AppGlobals.h"
#include "ModulINI.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
const QByteArray kHeader = "Key\tEnglish\tEspa\xF1ol\tFran\xE7" "ais\tSoftware\t\r\n";
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
    void setLanguage(int index) {
        QVERIFY(writeAll(m_home->file("PilmoraASCII.ini"),
                         "[Configuracion]\r\nLanguage=" + QByteArray::number(index) + "\r\n"));
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
        const QString notFound = "File not found. %1";
        const QString fatal = "Error or File not found. %1";

        QTest::newRow("normal") << body << QByteArray() << true << QStringList() << three;
        QTest::newRow("fallback file") << QByteArray() << body << true << QStringList{notFound} << three;
        QTest::newRow("both missing") << QByteArray() << QByteArray() << false << QStringList{notFound, fatal}
                                      << QStringList();
        QTest::newRow("empty file") << QByteArray("") << QByteArray() << false << QStringList{fatal} << QStringList();
        QTest::newRow("blank header") << QByteArray("   \r\nHello\tHi\r\n") << QByteArray() << false
                                      << QStringList{fatal} << QStringList();
        QTest::newRow("header without TAB") << QByteArray("Key English\r\n") << QByteArray() << false
                                            << QStringList{fatal} << QStringList();
        QTest::newRow("last field needs a TAB after it")
            << QByteArray("Key\tEnglish\r\nHello\tHi\r\n") << QByteArray() << false << QStringList{fatal}
            << QStringList();
        QTest::newRow("header starting at Software") << QByteArray("Key\tSoftware\tEnglish\t\r\n") << QByteArray()
                                                     << false << QStringList{fatal} << QStringList();
        QTest::newRow("names trimmed, stop at Software")
            << QByteArray("Key\t English \t Deutsch\t Software \tNotes\t\r\n") << QByteArray() << true << QStringList()
            << QStringList{"English", "Deutsch"};
        QTest::newRow("no Software column") << QByteArray("Key\tEnglish\tDeutsch\tLast\r\n") << QByteArray() << true
                                            << QStringList() << QStringList{"English", "Deutsch"};
        QTest::newRow("LF lines") << QByteArray(body).replace("\r\n", "\n") << QByteArray() << true << QStringList()
                                  << three;
        QTest::newRow("truncated last line") << QByteArray(kHeader + "Hello\tHel") << QByteArray() << true
                                             << QStringList() << three;
        QTest::newRow("header only") << kHeader << QByteArray() << true << QStringList() << three;
        QByteArray binary;
        for (int i = 0; i < 2048; ++i) binary += char((i * 37 + 11) & 0xFF);
        QTest::newRow("binary first file") << binary << QByteArray() << false << QStringList{fatal} << QStringList();
        QTest::newRow("binary with TABs") << QByteArray("\x01\x02\t\xFF\xFE\t\x00\x00\t\r\n\x80\t\x81\r\n", 14)
                                          << QByteArray() << true << QStringList()
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
        QTest::newRow("first language") << full << 0 << "Greet" << "Hello";
        QTest::newRow("second language") << full << 1 << "Greet" << "Hola";
        QTest::newRow("third language") << full << 2 << "Greet" << "Bonjour";
        QTest::newRow("key case ignored") << full << 0 << "gREET" << "Hello";
        QTest::newRow("key alone is its own text") << QByteArray("Lonely") << 0 << "Lonely" << "Lonely";
        QTest::newRow("key alone, third language") << QByteArray("Lonely") << 2 << "Lonely" << "Lonely";
        QTest::newRow("key and TAB gives ???") << QByteArray("Empty\t") << 0 << "Empty" << "???";
        QTest::newRow("empty middle text") << QByteArray("K\tA\t\tC") << 1 << "K" << "???";
        QTest::newRow("short record wraps to key") << QByteArray("K\tA") << 1 << "K" << "K";
        QTest::newRow("short record wraps further") << QByteArray("K\tA") << 2 << "K" << "A";
        // Four fields: column 5 is the key again, column 7 the second language.
        QTest::newRow("index just beyond gives the key") << full << 3 << "Greet" << "Greet";
        QTest::newRow("index beyond wraps") << full << 5 << "Greet" << "Hola";
        QTest::newRow("fields not trimmed") << QByteArray("K\t  spaced  \tx\ty") << 0 << "K" << "  spaced  ";
        QTest::newRow("text with accents") << QByteArray("K\tSe\xF1" "al\tx\ty") << 0 << "K" << QString::fromUtf8("Señal");
        QTest::newRow("key with blanks kept") << QByteArray(" K \tv\tw\tx") << 0 << " K " << "v";
    }
    void recordTexts() {
        QFETCH(QByteArray, record);
        QFETCH(int, language);
        QFETCH(QString, key);
        QFETCH(QString, text);
        ScriptedPrompts prompts;
        setLanguage(language);
        setFiles(kHeader + record + "\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        QCOMPARE(int(app().Idioma), language);
        QCOMPARE(Texto(key), text);
        QVERIFY2(prompts.shown().isEmpty(), qPrintable(prompts.texts().join('|')));
    }

    void commentsAndBlankLines() {
        ScriptedPrompts prompts;
        setFiles(kHeader + "A\t1\t2\t3\r\n*A\tcomment\tx\ty\r\n* note\r\n   \r\n\r\nB\tb\tb\tb\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(app().Textos.size(), 2);
        QCOMPARE(Texto("A"), QString("1"));
        QCOMPARE(Texto("B"), QString("b"));
    }

    void duplicateKeyKeepsFirst_data() {
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("same case") << QByteArray("Dup\tsecond\tx\ty");
        QTest::newRow("other case") << QByteArray("DUP\tsecond\tx\ty");
    }
    void duplicateKeyKeepsFirst() {
        QFETCH(QByteArray, second);
        ScriptedPrompts prompts;
        setFiles(kHeader + "Dup\tfirst\tx\ty\r\n" + second + "\r\nAfter\tok\tx\ty\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        QCOMPARE(prompts.shown().size(), 1);
        const auto& m = prompts.shown().first();
        QCOMPARE(m.kind, ScriptedPrompts::ToolBox);
        QCOMPARE(m.style, 3);
        QCOMPARE(m.buttons, 1);
        QCOMPARE(m.text, "Duplicated register in " + lngPath() + "\r" + QString::fromLatin1(second.left(3)));
        QCOMPARE(Texto("dup"), QString("first"));
        QCOMPARE(Texto("After"), QString("ok"));
    }

    void duplicateInFallbackNamesFirstFile() {
        ScriptedPrompts prompts;
        setFiles(QByteArray(), kHeader + "K\ta\tb\tc\r\nK\td\te\tf\r\n");
        QVERIFY(CargaIdioma());
        QCOMPARE(prompts.texts().last(), "Duplicated register in " + lngPath() + "\rK");
    }

    void missingKeyShowsMessage() {
        ScriptedPrompts prompts;
        setFiles(kHeader + "&Aceptar\tOK\tAceptar\tOK\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        QCOMPARE(Texto("NoSuchKey"), QString("???"));
        QCOMPARE(prompts.texts(), QStringList("No text found for Key: NoSuchKey"));
        QCOMPARE(prompts.shown().first().kind, ScriptedPrompts::ToolBox);
        QCOMPARE(prompts.shown().first().style, 3);
    }

    void reloadingReplacesTexts() {
        ScriptedPrompts prompts;
        setFiles(kHeader + "A\t1\t2\t3\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        setFiles(kHeader + "B\t1\t2\t3\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        QCOMPARE(app().Textos.size(), 1);
        QVERIFY(prompts.shown().isEmpty());
    }

    void languageMenuChoice() {
        ScriptedPrompts prompts;
        setFiles(kHeader + "CambiosTenganEfectosReiniciar\tRestart\tReinicie\tRedemarrez\r\n&Aceptar\tOK\tAc\tOK\r\n",
                 QByteArray());
        QVERIFY(CargaIdioma());
        CambiaIdioma(2);
        QCOMPARE(int(app().Idioma), 2);
        QCOMPARE(LeeIniAplicacion("Configuracion", "Language", ""), QString("2"));
        QCOMPARE(prompts.texts(), QStringList("Restart"));
        QCOMPARE(prompts.shown().first().style, 2);  // exclamation
        // The loaded texts stay until the next start.
        QCOMPARE(Texto("CambiosTenganEfectosReiniciar"), QString("Restart"));
        QVERIFY(CargaIdioma());
        QCOMPARE(Texto("CambiosTenganEfectosReiniciar"), QString::fromLatin1("Redemarrez"));
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
