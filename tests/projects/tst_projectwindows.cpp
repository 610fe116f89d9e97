// The catalogue windows with real widgets: list, sorting, new (template, copy),
// edit, delete, select, cancel.
#include <QtTest>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "AppGlobals.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "ProjectFixtures.h"
#include "fProject.h"
#include "fProjectNew.h"
#include "mIdioma.h"

namespace {
QStringList names(QTreeWidget* t) {
    QStringList l;
    for (int i = 0; i < t->topLevelItemCount(); ++i) l << t->topLevelItem(i)->text(0);
    return l;
}
QString current(fProject& w) {
    const QTreeWidgetItem* it = w.lvwPro->currentItem();
    return it ? it->text(0) + "|" + it->text(1) + "|" + it->text(2) : QString();
}
void selectRow(fProject& w, const QString& name) {
    w.lvwPro->setCurrentItem(w.lvwPro->findItems(name, Qt::MatchExactly, 0).value(0));
}
}  // namespace

class TestProjectWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    QString m_root;

    void emptyRoot() {
        QDir(m_root).removeRecursively();
        QDir().mkpath(m_root);
    }

private slots:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_root = m_home->projectsRoot();
        makeProject(m_root, "Charlie", "LON", "b-desc");
        makeProject(m_root, "alpha", "MBS6", "c-desc");
        makeProject(m_root, "Bravo", "LON", "a-desc");
    }
    void cleanup() {
        m_prompts.reset();
        m_home.reset();
    }

    void listAndLeave() {
        app().NombreProyecto = "Bravo";
        app().RutaProyecto = "/current/project";
        fProject w;
        w.show();
        QVERIFY(w.cargado());
        QCOMPARE(w.lblPathProjects->text(), app().RutaProyectos);
        QCOMPARE(names(w.lvwPro), (QStringList{"alpha", "Bravo", "Charlie"}));
        QCOMPARE(current(w), QStringLiteral("Bravo|LON|a-desc"));
        // Leaving restores the project that was current when the window opened.
        w.cmdSalir->click();
        QCOMPARE(app().RutaProyecto, QStringLiteral("/current/project"));
        QCOMPARE(app().NombreProyecto, QStringLiteral("Bravo"));
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }

    void sortByColumn_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("name descending") << QList<int>{0, 0} << QStringList{"Charlie", "Bravo", "alpha"};
        QTest::newRow("name back to ascending") << QList<int>{0, 0, 0} << QStringList{"alpha", "Bravo", "Charlie"};
        QTest::newRow("protocol") << QList<int>{1} << QStringList{"Bravo", "Charlie", "alpha"};
        QTest::newRow("protocol descending") << QList<int>{1, 1} << QStringList{"alpha", "Bravo", "Charlie"};
        QTest::newRow("new column starts ascending") << QList<int>{0, 0, 2} << QStringList{"Bravo", "Charlie", "alpha"};
    }
    void sortByColumn() {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, order);
        fProject w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QHeaderView* h = w.lvwPro->header();
        for (int c : clicks)
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(c) + 5, h->height() / 2));
        QCOMPARE(names(w.lvwPro), order);
    }

    void selectHandsProjectOver_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << "button";
        QTest::newRow("enter key") << "enter";
        QTest::newRow("double click") << "double";
    }
    void selectHandsProjectOver() {
        QFETCH(QString, how);
        fProject w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        selectRow(w, "Charlie");
        const QPoint p = w.lvwPro->visualItemRect(w.lvwPro->currentItem()).center();
        if (how == "button") QTest::mouseClick(w.cmdSelec, Qt::LeftButton);
        if (how == "enter") w.lvwPro->setFocus(), QTest::keyClick(w.lvwPro, Qt::Key_Return);
        if (how == "double") QTest::mouseClick(w.lvwPro->viewport(), Qt::LeftButton, {}, p);
        if (how == "double") QTest::mouseDClick(w.lvwPro->viewport(), Qt::LeftButton, {}, p);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        QCOMPARE(app().NombreProyecto + app().ProtProyecto + app().DescProyecto, QStringLiteral("CharlieLONb-desc"));
        QCOMPARE(app().RutaProyecto, nat(m_root + "/Charlie"));
    }

    void emptyListRefusesQuietly() {
        emptyRoot();
        fProject w;
        w.show();
        bool ran = false;
        whenModal<fProjectNew>([](fProjectNew* d) { d->cmdCancelar->click(); }, &ran, 300);
        w.cmdEdit->click();
        w.cmdBorrar->click();
        QTest::keyClick(w.lvwPro, Qt::Key_Return);
        QTest::qWait(400);
        QVERIFY(!ran);
        QVERIFY(m_prompts->shown().isEmpty());
        w.cmdSelec->click();
        QCOMPARE(m_prompts->texts(), QStringList{Texto("DebeSelPro")});
        QCOMPARE(m_prompts->shown()[0].style & 0x70, int(Msg::Exclamation));
        QVERIFY(w.isVisible());
    }

    void rootThatCannotBeCreatedClosesWindow() {
        QVERIFY(writeAll(m_home->file("afile"), "x"));
        app().RutaProyectos = m_home->file("afile/sub");
        app().RutaProyecto = "/keep";
        fProject w;
        QVERIFY(!w.cargado());
        QCOMPARE(w.exec(), int(QDialog::Rejected));
        QCOMPARE(m_prompts->texts(), QStringList{Texto("ErrDirPro") + "\r" + app().RutaProyectos});
        QCOMPARE(app().RutaProyecto, QStringLiteral("/keep"));
    }

    void newFromTemplateWithRowSelected() {
        fProject w;
        w.show();
        selectRow(w, "Bravo");
        m_prompts->queueAnswer(Msg::No);
        QString seen;
        whenModal<fProjectNew>([&](fProjectNew* d) {
            seen = QString::number(d->cboProt->isEnabled()) + d->txtNom->text() + d->txtDesc->text();
            QTest::keyClicks(d->txtNom, "Delta");
            QTest::keyClicks(d->txtDesc, "fresh");
            d->cboProt->setCurrentIndex(1);
            QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
        });
        w.cmdNuevo->click();
        QCOMPARE(m_prompts->texts(), QStringList{Texto("NuevoProCopia") + "\rBravo - LON"});
        QCOMPARE(m_prompts->shown()[0].style, int(Msg::YesNoCancel | Msg::Question));
        QCOMPARE(seen, QStringLiteral("1"));  // protocol choice open, fields empty
        QCOMPARE(current(w), QStringLiteral("Delta|MBS6|fresh"));
        QVERIFY(QFileInfo::exists(m_root + "/Delta/MBS6.dat"));
    }

    void newAsCopyNeedsAnotherName() {
        fProject w;
        w.show();
        selectRow(w, "alpha");
        QVERIFY(writeAll(m_root + "/alpha/MBS6.dat", "signals"));
        m_prompts->queueAnswer(Msg::Yes);
        QString seen;
        bool stayedOpen = false;
        whenModal<fProjectNew>([&](fProjectNew* d) {
            seen = d->txtNom->text() + "|" + d->txtDesc->text() + "|" + d->cboProt->currentText() +
                   QString::number(d->cboProt->isEnabled()) + QString::number(d->copiarProyecto());
            d->cmdAceptar->click();  // the same name is an existing folder
            stayedOpen = d->isVisible();
            d->txtNom->setText("alpha2");
            d->cmdAceptar->click();
        });
        w.cmdNuevo->click();
        QCOMPARE(seen, QStringLiteral("alpha|c-desc|MBS601"));
        QVERIFY(stayedOpen);
        QCOMPARE(m_prompts->texts().mid(1), QStringList{Texto("ProErr")});
        QCOMPARE(readAll(m_root + "/alpha2/MBS6.dat"), QByteArray("signals"));
        QCOMPARE(current(w), QStringLiteral("alpha2|MBS6|c-desc"));
        QCOMPARE(w.lvwPro->topLevelItemCount(), 4);
    }

    // Every way out of "new" or "edit" leaves the list and the folders as they were.
    void newOrEditAbandoned_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("how");
        QTest::newRow("question cancelled") << "new" << "question";
        QTest::newRow("new, cancel button") << "new" << "button";
        QTest::newRow("new, escape key") << "new" << "escape";
        QTest::newRow("new, close box") << "new" << "close";
        QTest::newRow("new, bad names then cancel") << "new" << "badnames";
        QTest::newRow("edit, cancel button") << "edit" << "button";
    }
    void newOrEditAbandoned() {
        QFETCH(QString, button);
        QFETCH(QString, how);
        fProject w;
        w.show();
        selectRow(w, "alpha");
        m_prompts->queueAnswer(how == "question" ? Msg::Cancel : Msg::No);
        bool ran = false;
        QStringList badNameMessages;
        whenModal<fProjectNew>(
            [&](fProjectNew* d) {
                for (const char* bad : {"with.point", "back\\slash", "   "}) {
                    d->txtNom->setText(bad);
                    if (how != "badnames") break;
                    QTest::keyClick(d->txtNom, Qt::Key_Return);  // Enter accepts
                    if (d->isVisible()) badNameMessages << m_prompts->lastText();
                }
                if (how == "escape") QTest::keyClick(d, Qt::Key_Escape);
                else if (how == "close") d->close();
                else d->cmdCancelar->click();
            },
            &ran, how == "question" ? 300 : 10000);
        (button == "new" ? w.cmdNuevo : w.cmdEdit)->click();
        if (how == "question") QTest::qWait(400);
        QCOMPARE(ran, how != "question");
        if (how == "badnames") QCOMPARE(badNameMessages, QStringList(3, Texto("ErrNomPro")));
        if (how != "question") QCOMPARE(w.ProModo, qint16(0));
        QCOMPARE(names(w.lvwPro), (QStringList{"alpha", "Bravo", "Charlie"}));
        QCOMPARE(QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot), names(w.lvwPro));
    }

    void editRenamesOpenProject() {
        app().NombreProyecto = "Charlie";
        app().RutaProyecto = nat(m_root + "/Charlie");
        fProject w;
        w.show();
        selectRow(w, "Charlie");
        QString seen;
        whenModal<fProjectNew>([&](fProjectNew* d) {
            seen = QString::number(d->cboProt->isEnabled()) + QString::number(d->copiarProyecto());
            d->txtNom->setText("Charles");
            d->txtDesc->setText("renamed");
            d->cmdAceptar->click();
        });
        w.cmdEdit->click();
        QCOMPARE(seen, QStringLiteral("00"));
        QCOMPARE(current(w), QStringLiteral("Charles|LON|renamed"));
        QVERIFY(QFileInfo(m_root + "/Charles").isDir());
        QVERIFY(!QFileInfo::exists(m_root + "/Charlie"));
        // The open project stays open under its new name.
        w.cmdSalir->click();
        QCOMPARE(app().RutaProyecto, nat(m_root + "/Charles"));
        QCOMPARE(app().NombreProyecto, QStringLiteral("Charles"));
    }

    void deleteRow_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("subfolder");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("yes") << int(Msg::Yes) << false << QStringList{"Bravo", "Charlie"};
        QTest::newRow("no") << int(Msg::No) << false << QStringList{"alpha", "Bravo", "Charlie"};
        QTest::newRow("row goes even when the folder stays") << int(Msg::Yes) << true << QStringList{"Bravo", "Charlie"};
    }
    void deleteRow() {
        QFETCH(int, answer);
        QFETCH(bool, subfolder);
        QFETCH(QStringList, left);
        if (subfolder) QDir().mkpath(m_root + "/alpha/archive");
        fProject w;
        w.show();
        selectRow(w, "alpha");
        m_prompts->queueAnswer(answer);
        w.cmdBorrar->click();
        QCOMPARE(m_prompts->texts().first(), Texto("BorrarPro") + "alpha ?");
        if (subfolder) QCOMPARE(m_prompts->texts().last(), Texto("ErrBCa"));
        QCOMPARE(names(w.lvwPro), left);
        QCOMPARE(QFileInfo::exists(m_root + "/alpha"), answer != int(Msg::Yes) || subfolder);
    }
};

QTEST_MAIN(TestProjectWindows)
#include "tst_projectwindows.moc"
