// The tool's message box and input box under real key and mouse events, and the wait cursor.
#include <QtTest>
#include <QtWidgets>

#include "AppGlobals.h"
#include "ModalDriver.h"
#include "QtPrompts.h"
#include "TestSupport.h"
#include "WidgetState.h"
#include "fInputBox.h"
#include "fMsgBox.h"

namespace {
// Words: a key name, "click" (into the text field), "close" (the box's close button), a button's object name
// ("cmd..."), else text typed into the focused widget.
void play(const QString& script) {
    static const QHash<QString, Qt::Key> named{
        {"tab", Qt::Key_Tab}, {"enter", Qt::Key_Return}, {"esc", Qt::Key_Escape}, {"space", Qt::Key_Space}};
    for (const QString& k : script.split(' ', Qt::SkipEmptyParts)) {
        QWidget* box = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : qApp->activeWindow();
        if (named.contains(k))
            QTest::keyClick(QApplication::focusWidget(), named[k]);
        else if (k == "click")
            QTest::mouseClick(box->findChild<QLineEdit*>(), Qt::LeftButton);
        else if (k == "close")
            box->close();
        else if (k.startsWith("cmd"))
            QTest::mouseClick(box->findChild<QPushButton*>(k), Qt::LeftButton);
        else
            QTest::keyClicks(QApplication::focusWidget(), k);
        QCoreApplication::processEvents();
    }
}
}  // namespace

class TestMsgBox : public QObject {
    Q_OBJECT
private slots:

    // A message box of 1-3 buttons, or with none the input box (its default "12.5" selected): the answer.
    void prompt_data() {
        addColumns<QString, int, int, QString>("answer", "buttons", "defaultButton", "script");
        QTest::newRow("Esc, one button") << "1" << 1 << 1 << "esc";
        QTest::newRow("Esc, three buttons") << "3" << 3 << 1 << "esc";
        QTest::newRow("Enter, default 1") << "1" << 2 << 1 << "enter";
        QTest::newRow("Enter, default 3") << "3" << 3 << 3 << "enter";
        QTest::newRow("close box") << "0" << 2 << 1 << "close";
        QTest::newRow("click second") << "2" << 3 << 1 << "cmd1";
        QTest::newRow("space on focused default") << "3" << 3 << 3 << "space";
        QTest::newRow("Enter on focused second") << "2" << 2 << 1 << "tab enter";
        QTest::newRow("input: Enter takes the default") << "12.5" << 0 << 0 << "enter";
        QTest::newRow("input: typing replaces the selection") << "7" << 0 << 0 << "7 enter";
        QTest::newRow("input: OK button") << "x" << 0 << 0 << "x cmdAceptar";
        QTest::newRow("input: cancel gives empty") << "" << 0 << 0 << "x cmdCancelar";
        QTest::newRow("input: Esc gives empty") << "" << 0 << 0 << "esc";
        QTest::newRow("input: Enter on focused cancel") << "" << 0 << 0 << "x tab tab enter";
        QTest::newRow("input: focus back selects all again") << "9" << 0 << 0 << "x tab click 9 enter";
        QTest::newRow("input: close box gives empty") << "" << 0 << 0 << "close";
    }
    void prompt() {
        auto [buttons, defaultButton, script] = fetch<int, int, QString>("buttons", "defaultButton", "script");
        TestHome home(false);
        QString answer;
        if (buttons) {
            app().RespuestaMsgBox = 9;
            fMsgBox box;
            box.Msgbox1("Sure?", "", 1, defaultButton, buttons, "&Yes", "&No", "&Later");
            QStringList captions;  // the buttons shown, with the captions given
            for (int i = 0; i < 3; ++i)
                if (auto* b = box.findChild<QPushButton*>("cmd" + QString::number(i)); !b->isHidden())
                    captions << b->text();
            QCOMPARE(captions, QStringList({"&Yes", "&No", "&Later"}).mid(0, buttons));
            if (QTest::currentDataTag() == QString("Enter, default 3"))
                QCOMPARE(windowDiffers(&box, "message-box"), QString());
            box.show(), box.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&box));
            QCOMPARE(QApplication::focusWidget()->objectName(), "cmd" + QString::number(defaultButton - 1));
            play(script);
            QVERIFY(!box.isVisible());
            answer = QString::number(app().RespuestaMsgBox);
        } else {
            QtPrompts qt;
            installPrompts(&qt);
            bool ran = false;
            QString state;
            whenModal<fInputBox>(
                [&](fInputBox* box) {
                    QVERIFY(app().InputBoxAbierto);
                    QCOMPARE(box->txtDato->selectedText(), QString("12.5"));
                    state = windowDiffers(box, "input-box");
                    QVERIFY(QTest::qWaitForWindowActive(box));
                    play(script);
                },
                &ran);
            answer = PideDato("Title", "Prompt", "12.5");
            installPrompts(nullptr);
            QVERIFY2(ran && !app().InputBoxAbierto && state.isEmpty(), qPrintable(state));
        }
        QTEST(answer, "answer");
    }

    // Up to 54 characters a message is short: centred, lower in the box. Longer ones are not.
    void shortText() {
        TestHome home(false);
        QString got;
        for (int n : {54, 55}) {
            fMsgBox box;
            box.Msgbox1(QString(n, 'x'), "", 1, 1, 1, "&OK", "", "");
            got += box.lblMsg->document()->firstBlock().blockFormat().alignment() == Qt::AlignHCenter ? 'c' : 'l';
        }
        QCOMPARE(got, QString("cl"));
    }

    // The system's box on screen: the buttons and icon of its style, the answer of the button pressed; Esc gives
    // No where there is no Cancel, else what the box's escape button says.
    void systemBox_data() {
        addColumns<int, int, int, int>("style", "press", "icon", "answer");  // press: a QMessageBox button, 0 Esc
        QTest::newRow("OK, information") << int(Msg::OKOnly | Msg::Information) << int(QMessageBox::Ok)
                                         << int(QMessageBox::Information) << int(Msg::OK);
        QTest::newRow("OK Cancel: Cancel, critical") << int(Msg::OKCancel | Msg::Critical) << int(QMessageBox::Cancel)
                                                     << int(QMessageBox::Critical) << int(Msg::Cancel);
        QTest::newRow("Yes No Cancel: Yes, question") << int(Msg::YesNoCancel | Msg::Question) << int(QMessageBox::Yes)
                                                      << int(QMessageBox::Question) << int(Msg::Yes);
        QTest::newRow("Yes No: Esc, exclamation")
            << int(Msg::YesNo | Msg::Exclamation) << 0 << int(QMessageBox::Warning) << int(Msg::No);
    }
    void systemBox() {
        auto [style, press, icon, answer] = fetch<int, int, int, int>("style", "press", "icon", "answer");
        QtPrompts qt;
        int shown = -1, buttons = 0;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->icon(), buttons = int(box->buttons().size());
            press ? box->button(QMessageBox::StandardButton(press))->click() : QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(qt.systemBox("Text", style, "Title"), answer);
        QCOMPARE(QList<int>({shown, buttons}), QList<int>({icon, QList<int>{1, 2, 0, 3, 2}[Msg::buttonsOf(style)]}));
    }

    // Long work shows the wait cursor until the outermost piece of it ends; an end too many is no debt.
    void busyCursorNests() {
        QtPrompts qt;
        QList<bool> shown;
        for (bool on : {true, true, false, false, false, true, false})
            qt.setBusy(on), shown << (QApplication::overrideCursor() != nullptr);
        QCOMPARE(shown, QList<bool>({true, true, true, false, false, true, false}));
    }
};

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
