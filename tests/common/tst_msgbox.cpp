// The tool's message box and input box under real key and mouse events, and the wait cursor.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <optional>

#include "AppGlobals.h"
#include "ModalDriver.h"
#include "QtPrompts.h"
#include "TestSupport.h"
#include "fInputBox.h"
#include "fMsgBox.h"

namespace {
void keys(const QString& script) {
    for (const QString& k : script.split(' ', Qt::SkipEmptyParts)) {
        QWidget* w = QApplication::focusWidget();
        if (k == "tab")
            QTest::keyClick(w, Qt::Key_Tab);
        else if (k == "enter")
            QTest::keyClick(w, Qt::Key_Return);
        else if (k == "esc")
            QTest::keyClick(w, Qt::Key_Escape);
        else if (k == "space")
            QTest::keyClick(w, Qt::Key_Space);
        else if (k == "click")
            QTest::mouseClick(QApplication::activeModalWidget()->findChild<QLineEdit*>(), Qt::LeftButton);
        else
            QTest::keyClicks(w, k);
        QCoreApplication::processEvents();
    }
}
}  // namespace

class TestMsgBox : public QObject {
    Q_OBJECT
    std::optional<TestHome> m_home;

private slots:
    void init() { m_home.emplace(false); }
    void cleanup() { m_home.reset(); }

    void msgBox_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::newRow("Esc, one button") << 1 << 1 << "esc" << 1;
        QTest::newRow("Esc, three buttons") << 3 << 1 << "esc" << 3;
        QTest::newRow("Enter, default 1") << 2 << 1 << "enter" << 1;
        QTest::newRow("Enter, default 3") << 3 << 3 << "enter" << 3;
        QTest::newRow("close box") << 2 << 1 << "close" << 0;
        QTest::newRow("click second") << 3 << 1 << "click2" << 2;
        QTest::newRow("space on focused default") << 3 << 3 << "space" << 3;
        QTest::newRow("Enter on focused second") << 2 << 1 << "tab enter" << 2;
    }
    void msgBox() {
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(QString, action);
        QFETCH(int, answer);
        app().RespuestaMsgBox = 9;
        fMsgBox box;
        box.Msgbox1("Sure?", "", 1, defaultButton, buttons, "&Yes", "&No", "&Later");
        box.show(), box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        if (action == "close")
            box.close();
        else if (action == "click2")
            QTest::mouseClick(box.cmd[1], Qt::LeftButton);
        else
            keys(action);
        QVERIFY(!box.isVisible());
        QCOMPARE(int(app().RespuestaMsgBox), answer);
    }

    void inputBox_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result");  // keys, or "ok" / "cancel" / "close" buttons
        QTest::newRow("Enter takes the default") << "enter"
                                                 << "12.5";
        QTest::newRow("typing replaces the selection") << "7 enter"
                                                       << "7";
        QTest::newRow("OK button") << "x ok"
                                   << "x";
        QTest::newRow("cancel gives empty") << "x cancel"
                                            << "";
        QTest::newRow("Esc gives empty") << "esc"
                                         << "";
        QTest::newRow("Enter on focused cancel") << "x tab tab enter"
                                                 << "";
        QTest::newRow("focus back selects all again") << "x tab click 9 enter"
                                                      << "9";
        QTest::newRow("close box gives empty") << "close"
                                               << "";
    }
    void inputBox() {
        QFETCH(QString, action);
        QFETCH(QString, result);
        QtPrompts qt;
        installPrompts(&qt);
        bool ran = false;
        whenModal<fInputBox>(
            [&](fInputBox* box) {
                QVERIFY(app().InputBoxAbierto);
                QCOMPARE(box->txtDato->selectedText(), QString("12.5"));
                QVERIFY(QTest::qWaitForWindowActive(box));
                const QString last = action.section(' ', -1);
                keys(last == "ok" || last == "cancel" || last == "close" ? action.section(' ', 0, -2) : action);
                if (last == "ok") QTest::mouseClick(box->cmdAceptar, Qt::LeftButton);
                if (last == "cancel") QTest::mouseClick(box->cmdCancelar, Qt::LeftButton);
                if (last == "close") box->close();
            },
            &ran);
        const QString r = PideDato("Title", "Prompt", "12.5");
        installPrompts(nullptr);
        QVERIFY(ran);
        QCOMPARE(r, result);
        QVERIFY(!app().InputBoxAbierto);
    }

    // Long work shows the wait cursor until the outermost piece of it ends.
    void busyCursorNests() {
        QtPrompts qt;
        QList<bool> shown;
        for (bool on : {true, true, false, false, false})
            qt.setBusy(on), shown << (QApplication::overrideCursor() != nullptr);

        QCOMPARE(shown, QList<bool>({true, true, true, false, false}));
    }
};

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
