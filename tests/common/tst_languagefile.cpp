// The delivered language file: every key the program asks for must be there,
// filled in every language, stored as single-byte Windows-1252 text.
#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
QByteArray fileBytes() { return readAll(QStringLiteral(PILMORA_SOURCE_DIR) + "/data/PilmoraASCII.LNG"); }

// Every literal key passed to Texto("...") anywhere in the sources.
QSet<QString> keysUsedInSources() {
    QSet<QString> keys;
    const QRegularExpression re(
        QStringLiteral(R"re(\bTexto\(\s*(?:QStringLiteral\(|QString\(|u)?"((?:[^"\\]|\\.)*)")re"));
    QDirIterator it(QStringLiteral(PILMORA_SOURCE_DIR) + "/src", {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        auto m = re.globalMatch(QString::fromUtf8(readAll(it.next())));
        while (m.hasNext()) keys.insert(m.next().captured(1).replace(QLatin1String("\\\""), QLatin1String("\"")));
    }
    return keys;
}
}  // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    void windows1252CrLfUniqueFilledRecords() {
        const QByteArray bytes = fileBytes();
        // A whole UTF-8 sequence (lead byte and all its continuation bytes) is how
        // an editor's UTF-8 slips in; an accented letter before a no-break space
        // (French "créé :") is only the start of one.
        static const QRegularExpression utf8(
            QStringLiteral("[\\xC2-\\xDF][\\x80-\\xBF]|[\\xE0-\\xEF][\\x80-\\xBF]{2}|[\\xF0-\\xF4][\\x80-\\xBF]{3}"));
        const auto m = utf8.match(QString::fromLatin1(bytes));
        QVERIFY2(!m.hasMatch(), qPrintable("UTF-8 sequence at byte " + QString::number(m.capturedStart())));
        QVERIFY(!bytes.contains('\0'));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QVERIFY(bytes.endsWith("\r\n") && bytes.count('\n') > 100);
        // Records as the loader sees them: unique keys, three filled texts each.
        const QList<QByteArray> lines = bytes.split('\n');
        QHash<QString, int> seen;
        for (int i = 1; i < lines.size(); ++i) {
            const QString text = fromAnsi(lines[i]).remove(QLatin1Char('\r'));
            if (text.startsWith(QLatin1Char('*')) || text.trimmed().isEmpty()) continue;
            const QStringList f = text.split(QLatin1Char('\t'));
            const QString where = QStringLiteral("line %1 (%2)").arg(i + 1).arg(f[0]);
            QVERIFY2(!seen.contains(f[0].toLower()),
                     qPrintable(where + " repeats line " + QString::number(seen.value(f[0].toLower()))));
            seen.insert(f[0].toLower(), i + 1);
            QVERIFY2(f.size() >= 4, qPrintable(where + ": fewer than three texts"));
            for (int c = 1; c <= 3; ++c) QVERIFY2(!f[c].trimmed().isEmpty(), qPrintable(where + ": empty text"));
        }
    }

    void keysPresentInEveryLanguage_data() {
        QTest::addColumn<QString>("key");
        QSet<QString> all;
        for (const QString& k : QString::fromUtf8(readAll(testData("common/language-keys.txt"))).split('\n'))
            if (!k.trimmed().isEmpty()) all.insert(k.trimmed());
        QVERIFY(all.size() > 100);
        const QSet<QString> used = keysUsedInSources();
        QVERIFY(used.contains(QStringLiteral("ErrorAlEscribirEn")));  // the scan itself works
        all.unite(used);
        QStringList sorted(all.begin(), all.end());
        sorted.sort();
        for (const QString& k : sorted) QTest::newRow(qPrintable(k)) << k;
    }
    void keysPresentInEveryLanguage() {
        QFETCH(QString, key);
        for (int language = 0; language < 3; ++language) {
            ScriptedPrompts prompts;
            TestHome home(false, false);
            writeAll(home.file("PilmoraASCII.ini"),
                     "[Configuracion]\r\nLanguage=" + QByteArray::number(language) + "\r\n");
            QVERIFY(CargaIdioma());
            QCOMPARE(app().Idiomas.size(), 3);
            const QString text = Texto(key);
            QVERIFY2(prompts.shown().isEmpty(), qPrintable(prompts.texts().join(" | ")));
            QVERIFY2(text != QLatin1String("???") && !text.trimmed().isEmpty(),
                     qPrintable(QStringLiteral("%1 empty in language %2").arg(key).arg(language)));
        }
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"
