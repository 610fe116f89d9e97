// The tool's message box and input box, driven by real key and mouse events.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QtTest>

#include "AppGlobals.h"
#include "Prompts.h"
#include "ScriptedPrompts.h"
#include "QtPrompts.h"
#include "TestSupport.h"
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

    void keysAndClicks_data() {
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
        if (action == "tab enter") {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QVERIFY(!box.isVisible());
        QCOMPARE(int(app().RespuestaMsgBox), answer);
        QCOMPARE(box.respuesta(), answer);
    }

    // The alert kind carries reports and "saved" as well as failures: an attention
    // sign, never the error cross.
    void alertIconIsAttention() {
        fMsgBox box;
        box.Msgbox1("Saved", "", 3, 1, 1);
        const QImage shown = box.imgInterrogacion->pixmap().toImage();
        auto icon = [&](QStyle::StandardPixmap p) {
            return box.style()->standardIcon(p, nullptr, &box).pixmap(shown.size()).toImage();
        };
        QCOMPARE(shown, icon(QStyle::SP_MessageBoxWarning));
        QVERIFY(shown != icon(QStyle::SP_MessageBoxCritical));
    }

    // Bytes of a binary file quoted in a message: control characters show as "?",
    // line breaks and TABs stay, in the tool's box and in the system box alike.
    void controlCharactersShownAsQuestionMarks() {
        ScriptedPrompts rec;
        installPrompts(&rec);
        const QString raw = QString::fromLatin1("A\x01\x1f\tB\r\nC\x7f\x81\x00", 11);
        Msgbox1(raw, "", 3, 1, 1, "OK");
        MsgBox(raw, 0, "");
        installPrompts(nullptr);
        QCOMPARE(rec.texts(), QStringList({"A??\tB\r\nC???", "A??\tB\r\nC???"}));
    }

    void inputBox_data() {
        QTest::addColumn<QString>("def");
        QTest::addColumn<QString>("typed");  // empty: nothing typed
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result");
        const char* const rows[][5] = {{"Enter takes the default", "12.5", "", "enter", "12.5"},
                                       {"typing replaces the selection", "12.5", "7", "enter", "7"},
                                       {"OK button", "abc", "x", "ok", "x"},
                                       {"cancel gives empty", "abc", "x", "cancel", ""},
                                       {"Esc gives empty", "abc", "", "esc", ""},
                                       {"Enter on focused cancel", "abc", "x", "tab tab enter", ""},
                                       {"close box gives empty", "abc", "", "close", ""}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]) << QString(r[3]) << QString(r[4]);
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
            QCOMPARE(box->txtDato->selectedText(), def);
            checked = true;
            QVERIFY(QTest::qWaitForWindowActive(w));
            if (!typed.isEmpty()) QTest::keyClicks(box->txtDato, typed);
            if (action == "enter") QTest::keyClick(box->txtDato, Qt::Key_Return);
            if (action == "ok") QTest::mouseClick(box->cmdAceptar, Qt::LeftButton);
            if (action == "cancel") QTest::mouseClick(box->cmdCancelar, Qt::LeftButton);
            if (action == "esc") QTest::keyClick(box->txtDato, Qt::Key_Escape);
            if (action == "close") box->close();
            if (action == "tab tab enter") {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            if (box->isVisible()) box->cmdAceptar->click();  // a key that did nothing shows as the typed text
        });
        const QString r = PideDato("Title", "Prompt", def);
        installPrompts(nullptr);
        QVERIFY(checked);
        QCOMPARE(r, result);
        QVERIFY(!app().InputBoxAbierto);
    }
};

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
