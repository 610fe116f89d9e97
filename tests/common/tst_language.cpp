// Language loader and lookup: what each kind of language file gives, and the
// messages the user sees on the way.
#include <QFile>
#include <QtTest>

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
        QTest::newRow("second language") << full << 1 << "Greet"
                                         << "Hola";
        QTest::newRow("third language") << full << 2 << "Greet"
                                        << "Bonjour";
        QTest::newRow("key case ignored") << full << 0 << "gREET"
                                          << "Hello";
        QTest::newRow("key alone is its own text") << QByteArray("Lonely") << 0 << "Lonely"
                                                   << "Lonely";
        QTest::newRow("key and TAB gives ???") << QByteArray("Empty\t") << 0 << "Empty"
                                               << "???";
        QTest::newRow("short record wraps to key") << QByteArray("K\tA") << 1 << "K"
                                                   << "K";
        // Four fields: column 5 is the key again, column 7 the second language.
        QTest::newRow("index just beyond gives the key") << full << 3 << "Greet"
                                                         << "Greet";
        QTest::newRow("index beyond wraps") << full << 5 << "Greet"
                                            << "Hola";
        QTest::newRow("fields not trimmed") << QByteArray("K\t  spaced  \tx\ty") << 0 << "K"
                                            << "  spaced  ";
        QTest::newRow("comments and blank lines skipped")
            << QByteArray("*K\tcomment\tx\ty\r\n* note\r\n   \r\n\r\nK\tk\tb\tb") << 0 << "K"
            << "k";
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

    void duplicateKeyKeepsFirst() {
        const QByteArray second = "DUP\tsecond\tx\ty";  // key case does not matter
        ScriptedPrompts prompts;
        setFiles(kHeader + "Dup\tfirst\tx\ty\r\n" + second + "\r\nAfter\tok\tx\ty\r\n", QByteArray());
        QVERIFY(CargaIdioma());
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown()[0].kind, ScriptedPrompts::ToolBox);
        QCOMPARE(prompts.shown()[0].text, "Duplicated register in " + lngPath() + "\rDUP");
        QCOMPARE(Texto("dup"), QString("first"));
        QCOMPARE(Texto("After"), QString("ok"));
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
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
