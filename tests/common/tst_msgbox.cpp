// The tool's message box, input box and About window, driven by real key and
// mouse events.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "AppGlobals.h"
#include "Prompts.h"
#include "QtPrompts.h"
#include "TestSupport.h"
#include "fAbout.h"
#include "fInputBox.h"
#include "fMsgBox.h"
#include "mIdioma.h"

namespace {
// Runs `action` on the modal window once it is up.
void whenModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}
}  // namespace

class TestMsgBox : public QObject {
    Q_OBJECT
    QScopedPointer<TestHome> m_home;

private slots:
    void init() { m_home.reset(new TestHome(false)); }
    void cleanup() { m_home.reset(); }

    void shortTextCentredLower_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("centred");
        QTest::newRow("54 characters") << 54 << true;
        QTest::newRow("55 characters") << 55 << false;
        QTest::newRow("empty") << 0 << true;
    }
    void shortTextCentredLower() {
        QFETCH(int, length);
        QFETCH(bool, centred);
        fMsgBox box;
        const int top = box.lblMsg->y();
        box.Msgbox1(QString(length, 'm'), "T", 3, 1, 1);
        QCOMPARE(box.lblMsg->y() == twipsToPx(450), centred);
        if (!centred) QCOMPARE(box.lblMsg->y(), top);
        const auto align = box.lblMsg->document()->firstBlock().blockFormat().alignment();
        QCOMPARE(bool(align & Qt::AlignHCenter), centred);
    }

    void lineBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF kept") << "a\r\nb" << "a\r\nb";
        QTest::newRow("lone CR breaks") << "a\rb" << "a\r\nb";
        QTest::newRow("lone LF does not break") << "a\nb" << "ab";
        QTest::newRow("LF CR") << "a\n\rb" << "a\r\nb";
        QTest::newRow("two CRs") << "a\r\rb" << "a\r\n\r\nb";
    }
    void lineBreaks() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        fMsgBox box;
        box.Msgbox1(text, "T", 3, 1, 1);
        QCOMPARE(box.texto(), shown);
        QCOMPARE(box.lblMsg->toPlainText(), QString(shown).replace("\r\n", "\n"));
    }

    void captionIconsAndButtons_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("one button, empty title") << "" << 3 << 1 << "PilmoraASCII" << QStringList{"Yes"};
        QTest::newRow("two buttons") << "Question" << 1 << 2 << "Question" << QStringList{"Yes", "No"};
        QTest::newRow("three buttons") << "Three" << 2 << 3 << "Three" << QStringList{"Yes", "No", "Later"};
    }
    void captionIconsAndButtons() {
        QFETCH(QString, title);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(QString, caption);
        QFETCH(QStringList, texts);
        fMsgBox box;
        box.Msgbox1("text", title, icon, 1, buttons, "Yes", buttons > 1 ? "No" : "", buttons > 2 ? "Later" : "");
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), caption);
        QCOMPARE(box.iconKind(), icon);
        QVERIFY(!box.imgExclamacion->isVisible() && !box.imgAlerta->isVisible());
        QVERIFY(box.imgInterrogacion->isVisible());
        QStringList shown;
        for (QPushButton* b : box.cmd)
            if (b->isVisible()) shown << b->text();
        QCOMPARE(shown, texts);
        // Buttons centred as a group, 250 twips apart.
        const int w = pxToTwips(box.width()), bw = pxToTwips(box.cmd[0]->width());
        const int first = (w - buttons * bw - (buttons - 1) * 250) / 2;
        for (int i = 0; i < buttons; ++i) QCOMPARE(box.cmd[i]->x(), twipsToPx(first + i * (bw + 250)));
    }

    void defaultCaptionsFromLanguage() {
        fMsgBox box;
        QCOMPARE(box.cmd[0]->text(), Texto("&Aceptar"));
        QCOMPARE(box.cmd[1]->text(), Texto("&Salir"));
        QCOMPARE(box.cmd[2]->text(), Texto("&Salir"));
        box.Msgbox1("x", "", 3, 1, 0);  // no count: buttons left as they are
        QCOMPARE(box.cmd[2]->text(), Texto("&Salir"));
    }

    // A message shown before the texts are loaded must not ask for its own captions.
    void ownCaptionsWithoutLanguage() {
        ScriptedPrompts prompts;
        app().Textos.clear();
        fMsgBox box;
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(box.cmd[0]->text(), QString("&OK"));
        QCOMPARE(box.cmd[1]->text(), QString("E&xit"));
    }

    void keysAndClicks_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::newRow("Esc, one button") << 1 << 1 << "esc" << 1;
        QTest::newRow("Esc, two buttons") << 2 << 1 << "esc" << 2;
        QTest::newRow("Esc, three buttons") << 3 << 1 << "esc" << 3;
        QTest::newRow("Enter, default 1") << 2 << 1 << "enter" << 1;
        QTest::newRow("Enter, default 2") << 2 << 2 << "enter" << 2;
        QTest::newRow("Enter, default 3") << 3 << 3 << "enter" << 3;
        QTest::newRow("close box") << 2 << 1 << "close" << 0;
        QTest::newRow("click second") << 3 << 1 << "click2" << 2;
        QTest::newRow("space on focused default") << 3 << 3 << "space" << 3;
    }
    void keysAndClicks() {
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(QString, action);
        QFETCH(int, answer);
        app().RespuestaMsgBox = 9;
        fMsgBox box;
        QCOMPARE(int(app().RespuestaMsgBox), 0);
        box.Msgbox1("Sure?", "", 1, defaultButton, buttons, "&Yes", "&No", "&Later");
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        if (action == "esc") QTest::keyClick(&box, Qt::Key_Escape);
        if (action == "enter") QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (action == "close") box.close();
        if (action == "click2") QTest::mouseClick(box.cmd[1], Qt::LeftButton);
        if (action == "space") QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(!box.isVisible());
        QCOMPARE(int(app().RespuestaMsgBox), answer);
        QCOMPARE(box.respuesta(), answer);
    }

    // Through the prompts seam, as the other windows call it.
    void seamShowsToolBox() {
        QtPrompts qt;
        installPrompts(&qt);
        QString seen;
        whenModal([&seen](QWidget* w) {
            auto* box = qobject_cast<fMsgBox*>(w);
            QVERIFY(box);
            seen = box->texto();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        const int r = Msgbox1("Send?", "", 1, 2, 2, Texto("&Aceptar"), Texto("&Cancelar"));
        installPrompts(nullptr);
        QCOMPARE(r, 2);
        QCOMPARE(int(app().RespuestaMsgBox), 2);
        QCOMPARE(seen, QString("Send?"));
    }

    void inputBox_data() {
        QTest::addColumn<QString>("def");
        QTest::addColumn<QString>("typed");  // empty: nothing typed
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result");
        QTest::newRow("Enter takes the default") << "12.5" << "" << "enter" << "12.5";
        QTest::newRow("typing replaces the selection") << "12.5" << "7" << "enter" << "7";
        QTest::newRow("OK button") << "abc" << "x" << "ok" << "x";
        QTest::newRow("cancel gives empty") << "abc" << "x" << "cancel" << "";
        QTest::newRow("Esc gives empty") << "abc" << "" << "esc" << "";
        QTest::newRow("close box gives empty") << "abc" << "" << "close" << "";
    }
    void inputBox() {
        QFETCH(QString, def);
        QFETCH(QString, typed);
        QFETCH(QString, action);
        QFETCH(QString, result);
        QtPrompts qt;
        installPrompts(&qt);
        bool checked = false;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<fInputBox*>(w);
            QVERIFY(box);
            QVERIFY(app().InputBoxAbierto);
            QCOMPARE(box->windowTitle(), QString("Title"));
            QCOMPARE(box->lblDesc->text(), QString("Prompt"));
            QCOMPARE(box->txtDato->text(), def);
            QCOMPARE(box->txtDato->selectedText(), def);
            QCOMPARE(box->cmdAceptar->text(), Texto("&Aceptar"));
            QCOMPARE(box->cmdCancelar->text(), Texto("&Cancelar"));
            checked = true;
            if (!typed.isEmpty()) QTest::keyClicks(box->txtDato, typed);
            if (action == "enter") QTest::keyClick(box->txtDato, Qt::Key_Return);
            if (action == "ok") QTest::mouseClick(box->cmdAceptar, Qt::LeftButton);
            if (action == "cancel") QTest::mouseClick(box->cmdCancelar, Qt::LeftButton);
            if (action == "esc") QTest::keyClick(box->txtDato, Qt::Key_Escape);
            if (action == "close") box->close();
        });
        const QString r = PideDato("Title", "Prompt", def);
        installPrompts(nullptr);
        QVERIFY(checked);
        QCOMPARE(r, result);
        QVERIFY(!app().InputBoxAbierto);
    }

    void enterInInputBoxIsSwallowed() {
        fInputBox box;
        box.prepara("T", "P", "v");
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QTest::keyClick(box.txtDato, Qt::Key_Return);
        QCOMPARE(box.result(), int(QDialog::Accepted));
        QCOMPARE(box.resultado(), QString("v"));
    }

    void refocusSelectsAll() {
        fInputBox box;
        box.prepara("T", "P", "hello");
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QTest::keyClick(box.txtDato, Qt::Key_End);
        QVERIFY(!box.txtDato->hasSelectedText());
        box.cmdAceptar->setFocus();
        box.txtDato->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(box.txtDato->selectedText(), QString("hello"));
    }

    void aboutWindow() {
        fAbout about;
        QCOMPARE(about.windowTitle(), Texto("Acercade") + "PilmoraASCII");
        QCOMPARE(about.lblTitle->text(), QString("PilmoraASCII"));
        QCOMPARE(about.lblVersion->text(), Texto("Version") + " " + QString(PILMORA_VERSION));
        QVERIFY(about.lblDescription->text().contains("\n\nMerovantix\n"));
        QCOMPARE(about.lblDisclaimer->text(), Texto("Disclaimer"));
        QCOMPARE(about.cmdOK->text(), Texto("&Aceptar"));
        QVERIFY(!about.picIcon->pixmap(Qt::ReturnByValue).isNull());
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
    }

    void versionHasThreeParts() { QCOMPARE(fAbout::versionText().count('.'), 2); }
};

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
