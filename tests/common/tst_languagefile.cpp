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

struct Record {
    int line = 0;
    QStringList fields;  // key first
};

QString sourceFile() { return QStringLiteral(PILMORA_SOURCE_DIR) + "/data/PilmoraASCII.LNG"; }

// Records of the file as the loader sees them (comments and blank lines dropped).
QList<Record> records(QStringList* header) {
    const QByteArray bytes = readAll(sourceFile());
    const QList<QByteArray> lines = bytes.split('\n');
    QList<Record> out;
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray l = lines[i];
        if (l.endsWith('\r')) l.chop(1);
        const QString text = fromAnsi(l);
        if (i == 0) {
            *header = text.split(QLatin1Char('\t'));
            continue;
        }
        if (text.startsWith(QLatin1Char('*')) || text.trimmed().isEmpty()) continue;
        out.append({i + 1, text.split(QLatin1Char('\t'))});
    }
    return out;
}

// Every literal key passed to Texto("...") anywhere in the sources.
QSet<QString> keysUsedInSources() {
    QSet<QString> keys;
    const QRegularExpression re(QStringLiteral(R"re(\bTexto\(\s*(?:QStringLiteral\(|QString\(|u)?"((?:[^"\\]|\\.)*)")re"));
    QDirIterator it(QStringLiteral(PILMORA_SOURCE_DIR) + "/src", {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString text = QString::fromUtf8(readAll(it.next()));
        auto m = re.globalMatch(text);
        while (m.hasNext()) keys.insert(m.next().captured(1).replace(QLatin1String("\\\""), QLatin1String("\"")));
    }
    return keys;
}

}  // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    void headerNamesThreeLanguages() {
        QStringList header;
        records(&header);
        QVERIFY(header.size() >= 5);
        QCOMPARE(header.mid(1, 4), QStringList({"English", QString::fromUtf8("Español"), QString::fromUtf8("Français"), "Software"}));
    }

    void storedAsWindows1252WithCrLf() {
        const QByteArray bytes = readAll(sourceFile());
        QVERIFY(!bytes.isEmpty());
        // A UTF-8 lead byte followed by a continuation byte is how an editor's
        // UTF-8 slips in; the single-byte accented letters never pair up that way here.
        static const QRegularExpression utf8(QStringLiteral("[\\xC2-\\xF4][\\x80-\\xBF]"));
        const QString latin = QString::fromLatin1(bytes);
        const auto m = utf8.match(latin);
        QVERIFY2(!m.hasMatch(), qPrintable("UTF-8 sequence at byte " + QString::number(m.capturedStart())));
        QVERIFY(!bytes.contains('\0'));
        int lf = 0;
        for (int i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\n') {
                ++lf;
                QVERIFY2(i > 0 && bytes[i - 1] == '\r', qPrintable("bare LF at byte " + QString::number(i)));
            }
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(lf > 100);
    }

    void noDuplicateKeys() {
        QStringList header;
        QHash<QString, int> seen;
        for (const Record& r : records(&header)) {
            const QString k = r.fields.first().toLower();
            QVERIFY2(!seen.contains(k), qPrintable(QStringLiteral("key %1 on lines %2 and %3")
                                                       .arg(r.fields.first())
                                                       .arg(seen.value(k))
                                                       .arg(r.line)));
            seen.insert(k, r.line);
        }
    }

    void everyRecordHasThreeFilledTexts() {
        QStringList header;
        for (const Record& r : records(&header)) {
            QVERIFY2(r.fields.size() >= 4, qPrintable(QStringLiteral("line %1 (%2): fewer than three texts")
                                                          .arg(r.line)
                                                          .arg(r.fields.first())));
            for (int c = 1; c <= 3; ++c)
                QVERIFY2(!r.fields[c].trimmed().isEmpty(),
                         qPrintable(QStringLiteral("line %1 (%2): empty %3 text").arg(r.line).arg(r.fields[0], header[c])));
        }
    }

    void keysPresentInEveryLanguage_data() {
        QTest::addColumn<QString>("key");
        QSet<QString> all;
        for (const QString& k : QString::fromUtf8(readAll(testData("common/language-keys.txt"))).split('\n'))
            if (!k.trimmed().isEmpty()) all.insert(k.trimmed());
        QVERIFY(all.size() > 100);
        all.unite(keysUsedInSources());
        QStringList sorted(all.begin(), all.end());
        sorted.sort();
        for (const QString& k : sorted) QTest::newRow(qPrintable(k)) << k;
    }
    void keysPresentInEveryLanguage() {
        QFETCH(QString, key);
        for (int language = 0; language < 3; ++language) {
            ScriptedPrompts prompts;
            TestHome home(false, false);
            writeAll(home.file("PilmoraASCII.ini"), "[Configuracion]\r\nLanguage=" + QByteArray::number(language) + "\r\n");
            QVERIFY(CargaIdioma());
            QCOMPARE(app().Idiomas.size(), 3);
            const QString text = Texto(key);
            QVERIFY2(prompts.shown().isEmpty(), qPrintable(prompts.texts().join(" | ")));
            QVERIFY2(text != QLatin1String("???") && !text.trimmed().isEmpty(),
                     qPrintable(QStringLiteral("%1 empty in language %2").arg(key).arg(language)));
        }
    }

    // The scan itself works: it finds a use known to be there.
    void sourceScanFindsKnownUse() { QVERIFY(keysUsedInSources().contains(QStringLiteral("ErrorAlEscribirEn"))); }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"
