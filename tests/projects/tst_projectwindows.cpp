// The catalogue windows with real widgets: list, sorting, new (template, copy),
// edit, delete, select, cancel, and the closing rules.
#include <QtTest>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "TestSupport.h"
#include "fProject.h"
#include "fProjectNew.h"
#include "mIdioma.h"

namespace {
QByteArray crlf(const QStringList& lines) { return toAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")); }

QString makeProject(const QString& root, const QString& name, const QString& prot, const QString& desc) {
    const QString dir = QDir(root).filePath(name);
    QDir().mkpath(dir);
    writeAll(QDir(dir).filePath("Project.ini"), crlf({"[Project]", "Prot=" + prot, "Desc=" + desc}));
    return dir;
}

QStringList column(QTreeWidget* t, int col) {
    QStringList l;
    for (int i = 0; i < t->topLevelItemCount(); ++i) l << t->topLevelItem(i)->text(col);
    return l;
}

QString selectedName(fProject& w) {
    const auto sel = w.lvwPro->selectedItems();
    return sel.isEmpty() ? QString() : sel.first()->text(0);
}

void selectRow(fProject& w, const QString& name) {
    const auto found = w.lvwPro->findItems(name, Qt::MatchExactly, 0);
    QVERIFY(!found.isEmpty());
    w.lvwPro->setCurrentItem(found.first());
}

void clickHeader(fProject& w, int section) {
    QHeaderView* h = w.lvwPro->header();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(section) + 5, h->height() / 2));
}

QString nat(const QString& p) { return QDir::toNativeSeparators(p); }
}  // namespace

class TestProjectWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    QString m_root;

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

    void listAndCaptions() {
        app().NombreProyecto = "Bravo";
        app().RutaProyecto = "/current/project";
        fProject w;
        w.show();
        QVERIFY(w.cargado());
        QCOMPARE(w.windowTitle(), Texto("Proyecto") + "s");
        QCOMPARE(w.lblPathProjects->text(), app().RutaProyectos);
        QTreeWidgetItem* h = w.lvwPro->headerItem();
        QCOMPARE(h->text(0), Texto("ProyectoCarpeta"));
        QCOMPARE(h->text(1), QStringLiteral("Merovantix"));
        QCOMPARE(h->text(2), Texto("Descripcion"));
        QCOMPARE(w.cmdNuevo->text(), Texto("&Nuevo"));
        QCOMPARE(w.cmdEdit->text(), Texto("&Editar"));
        QCOMPARE(w.cmdBorrar->text(), Texto("&Borrar"));
        QCOMPARE(w.cmdSelec->text(), Texto("&Selecc"));
        QCOMPARE(w.cmdSalir->text(), Texto("&Salir"));
        QCOMPARE(column(w.lvwPro, 0), (QStringList{"alpha", "Bravo", "Charlie"}));
        QCOMPARE(column(w.lvwPro, 1), (QStringList{"MBS6", "LON", "LON"}));
        QCOMPARE(selectedName(w), QStringLiteral("Bravo"));
        QCOMPARE(app().NombreIni, QStringLiteral("Project"));
        // Leaving restores the project that was current when the window opened.
        w.cmdSalir->click();
        QCOMPARE(app().RutaProyecto, QStringLiteral("/current/project"));
        QCOMPARE(app().NombreProyecto, QStringLiteral("Bravo"));
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }

    void sortByColumn_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("name ascending") << QList<int>{0} << QStringList{"alpha", "Bravo", "Charlie"};
        QTest::newRow("name descending") << QList<int>{0, 0} << QStringList{"Charlie", "Bravo", "alpha"};
        QTest::newRow("name back to ascending") << QList<int>{0, 0, 0} << QStringList{"alpha", "Bravo", "Charlie"};
        QTest::newRow("protocol") << QList<int>{1} << QStringList{"Bravo", "Charlie", "alpha"};
        QTest::newRow("protocol descending") << QList<int>{1, 1} << QStringList{"alpha", "Bravo", "Charlie"};
        QTest::newRow("description") << QList<int>{2} << QStringList{"Bravo", "Charlie", "alpha"};
        QTest::newRow("new column starts ascending") << QList<int>{0, 0, 2} << QStringList{"Bravo", "Charlie", "alpha"};
    }
    void sortByColumn() {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, order);
        fProject w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int c : clicks) clickHeader(w, c);
        QCOMPARE(column(w.lvwPro, 0), order);
    }

    void selectHandsProjectOver_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << "button";
        QTest::newRow("enter key") << "enter";
        QTest::newRow("double click") << "double";
    }
    void selectHandsProjectOver() {
        QFETCH(QString, how);
        app().RutaProyecto = "/before";
        fProject w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        selectRow(w, "Charlie");
        if (how == "button") {
            QTest::mouseClick(w.cmdSelec, Qt::LeftButton);
        } else if (how == "enter") {
            w.lvwPro->setFocus();
            QTest::keyClick(w.lvwPro, Qt::Key_Return);
        } else {
            QTreeWidgetItem* it = w.lvwPro->currentItem();
            const QPoint p = w.lvwPro->visualItemRect(it).center();
            QTest::mouseClick(w.lvwPro->viewport(), Qt::LeftButton, {}, p);
            QTest::mouseDClick(w.lvwPro->viewport(), Qt::LeftButton, {}, p);
        }
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        QCOMPARE(app().NombreProyecto, QStringLiteral("Charlie"));
        QCOMPARE(app().ProtProyecto, QStringLiteral("LON"));
        QCOMPARE(app().DescProyecto, QStringLiteral("b-desc"));
        QCOMPARE(app().RutaProyecto, nat(m_root + "/Charlie"));
    }

    void selectWithoutSelection() {
        QDir(m_root).removeRecursively();
        QDir().mkpath(m_root);
        fProject w;
        w.show();
        QCOMPARE(w.lvwPro->topLevelItemCount(), 0);
        w.cmdSelec->click();
        QCOMPARE(m_prompts->texts(), QStringList{Texto("DebeSelPro")});
        QCOMPARE(m_prompts->shown()[0].style & 0x70, int(Msg::Exclamation));
        QVERIFY(w.isVisible());
        // Enter on an empty list does nothing at all.
        QTest::keyClick(w.lvwPro, Qt::Key_Return);
        QCOMPARE(m_prompts->shown().size(), 1);
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

    // ---- new

    void newFromTemplateWithRowSelected() {
        fProject w;
        w.show();
        selectRow(w, "Bravo");
        m_prompts->queueAnswer(Msg::No);
        bool ran = false;
        bool protEnabled = false, fieldsEmpty = false;
        whenModal<fProjectNew>(
            [&](fProjectNew* d) {
                protEnabled = d->cboProt->isEnabled();
                fieldsEmpty = d->txtNom->text().isEmpty() && d->txtDesc->text().isEmpty();
                QTest::keyClicks(d->txtNom, "Delta");
                QTest::keyClicks(d->txtDesc, "fresh");
                d->cboProt->setCurrentIndex(1);
                QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
            },
            &ran);
        w.cmdNuevo->click();
        QVERIFY(ran);
        QCOMPARE(m_prompts->texts(), QStringList{Texto("NuevoProCopia") + "\rBravo - LON"});
        QCOMPARE(m_prompts->shown()[0].style, int(Msg::YesNoCancel | Msg::Question));
        QVERIFY(protEnabled);
        QVERIFY(fieldsEmpty);
        QCOMPARE(selectedName(w), QStringLiteral("Delta"));
        QCOMPARE(w.lvwPro->currentItem()->text(1), QStringLiteral("MBS6"));
        QCOMPARE(w.lvwPro->currentItem()->text(2), QStringLiteral("fresh"));
        QVERIFY(QFileInfo::exists(m_root + "/Delta/MBS6.dat"));
        QCOMPARE(iniRead(m_root + "/Delta/Project.ini", "Project", "Prot", ""), QStringLiteral("MBS6"));
    }

    void newAsCopyNeedsAnotherName() {
        fProject w;
        w.show();
        selectRow(w, "alpha");
        QVERIFY(writeAll(m_root + "/alpha/MBS6.dat", "signals"));
        m_prompts->queueAnswer(Msg::Yes);
        bool ran = false;
        QString name, desc, prot;
        bool protEnabled = true, stayedOpen = false;
        whenModal<fProjectNew>(
            [&](fProjectNew* d) {
                name = d->txtNom->text();
                desc = d->txtDesc->text();
                prot = d->cboProt->currentText();
                protEnabled = d->cboProt->isEnabled();
                QVERIFY(d->copiarProyecto());
                // The same name is an existing folder.
                d->cmdAceptar->click();
                stayedOpen = d->isVisible();
                d->txtNom->setText("alpha2");
                d->cmdAceptar->click();
            },
            &ran);
        w.cmdNuevo->click();
        QVERIFY(ran);
        QCOMPARE(name, QStringLiteral("alpha"));
        QCOMPARE(desc, QStringLiteral("c-desc"));
        QCOMPARE(prot, QStringLiteral("MBS6"));
        QVERIFY(!protEnabled);
        QVERIFY(stayedOpen);
        QCOMPARE(m_prompts->texts().mid(1), QStringList{Texto("ProErr")});
        QCOMPARE(readAll(m_root + "/alpha2/MBS6.dat"), QByteArray("signals"));
        QCOMPARE(selectedName(w), QStringLiteral("alpha2"));
        QCOMPARE(w.lvwPro->topLevelItemCount(), 4);
    }

    void newCancelledByQuestion() {
        fProject w;
        w.show();
        selectRow(w, "alpha");
        m_prompts->queueAnswer(Msg::Cancel);
        bool ran = false;
        whenModal<fProjectNew>([](fProjectNew* d) { d->cmdCancelar->click(); }, &ran, 300);
        w.cmdNuevo->click();
        QTest::qWait(400);
        QVERIFY(!ran);
        QCOMPARE(w.lvwPro->topLevelItemCount(), 3);
    }

    void newDialogCancelled_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel button") << "button";
        QTest::newRow("escape key") << "escape";
        QTest::newRow("close box") << "close";
    }
    void newDialogCancelled() {
        QFETCH(QString, how);
        QDir(m_root).removeRecursively();
        QDir().mkpath(m_root);
        fProject w;
        w.show();
        bool ran = false;
        whenModal<fProjectNew>(
            [&](fProjectNew* d) {
                d->txtNom->setText("Never");
                if (how == "button")
                    d->cmdCancelar->click();
                else if (how == "escape")
                    QTest::keyClick(d, Qt::Key_Escape);
                else
                    d->close();
            },
            &ran);
        // Empty list: no question, the dialog opens in template mode.
        w.cmdNuevo->click();
        QVERIFY(ran);
        QVERIFY(m_prompts->shown().isEmpty());
        QCOMPARE(w.ProModo, qint16(0));
        QCOMPARE(w.lvwPro->topLevelItemCount(), 0);
        QVERIFY(!QFileInfo::exists(m_root + "/Never"));
    }

    void newWithBadNameStaysOpen() {
        QDir(m_root).removeRecursively();
        QDir().mkpath(m_root);
        fProject w;
        w.show();
        QStringList shownWhileOpen;
        whenModal<fProjectNew>([&](fProjectNew* d) {
            for (const char* bad : {"with.point", "back\\slash", "   "}) {
                d->txtNom->setText(bad);
                QTest::keyClick(d->txtNom, Qt::Key_Return);  // Enter accepts
                if (d->isVisible()) shownWhileOpen << m_prompts->lastText();
            }
            d->cmdCancelar->click();
        });
        w.cmdNuevo->click();
        QCOMPARE(shownWhileOpen, QStringList(3, Texto("ErrNomPro")));
        QVERIFY(QDir(m_root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // ---- edit and delete

    void editRenamesRow() {
        app().NombreProyecto = "Charlie";
        app().RutaProyecto = nat(m_root + "/Charlie");
        fProject w;
        w.show();
        selectRow(w, "Charlie");
        bool protEnabled = true;
        whenModal<fProjectNew>([&](fProjectNew* d) {
            protEnabled = d->cboProt->isEnabled();
            QVERIFY(!d->copiarProyecto());
            d->txtNom->setText("Charles");
            d->txtDesc->setText("renamed");
            d->cmdAceptar->click();
        });
        w.cmdEdit->click();
        QVERIFY(!protEnabled);
        QTreeWidgetItem* it = w.lvwPro->currentItem();
        QCOMPARE(it->text(0), QStringLiteral("Charles"));
        QCOMPARE(it->text(1), QStringLiteral("LON"));
        QCOMPARE(it->text(2), QStringLiteral("renamed"));
        QVERIFY(QFileInfo(m_root + "/Charles").isDir());
        QVERIFY(!QFileInfo::exists(m_root + "/Charlie"));
        // The open project was the renamed one: it stays open under its new name.
        w.cmdSalir->click();
        QCOMPARE(app().RutaProyecto, nat(m_root + "/Charles"));
        QCOMPARE(app().NombreProyecto, QStringLiteral("Charles"));
    }

    void editCancelledChangesNothing() {
        fProject w;
        w.show();
        selectRow(w, "Bravo");
        whenModal<fProjectNew>([](fProjectNew* d) {
            d->txtNom->setText("Other");
            d->cmdCancelar->click();
        });
        w.cmdEdit->click();
        QCOMPARE(w.ProModo, qint16(0));
        QCOMPARE(w.lvwPro->currentItem()->text(0), QStringLiteral("Bravo"));
        QVERIFY(QFileInfo(m_root + "/Bravo").isDir());
    }

    void editWithoutSelectionDoesNothing() {
        QDir(m_root).removeRecursively();
        QDir().mkpath(m_root);
        fProject w;
        w.show();
        bool ran = false;
        whenModal<fProjectNew>([](fProjectNew* d) { d->cmdCancelar->click(); }, &ran, 300);
        w.cmdEdit->click();
        w.cmdBorrar->click();
        QTest::qWait(400);
        QVERIFY(!ran);
        QVERIFY(m_prompts->shown().isEmpty());
    }

    void deleteRow_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("rowsLeft");
        QTest::newRow("yes") << int(Msg::Yes) << 2;
        QTest::newRow("no") << int(Msg::No) << 3;
    }
    void deleteRow() {
        QFETCH(int, answer);
        QFETCH(int, rowsLeft);
        fProject w;
        w.show();
        selectRow(w, "alpha");
        m_prompts->queueAnswer(answer);
        w.cmdBorrar->click();
        QCOMPARE(m_prompts->texts().first(), Texto("BorrarPro") + "alpha ?");
        QCOMPARE(w.lvwPro->topLevelItemCount(), rowsLeft);
        QCOMPARE(QFileInfo::exists(m_root + "/alpha"), answer != int(Msg::Yes));
    }

    void deleteRemovesRowEvenWhenFolderStays() {
        QDir().mkpath(m_root + "/alpha/archive");
        fProject w;
        w.show();
        selectRow(w, "alpha");
        m_prompts->queueAnswer(Msg::Yes);
        w.cmdBorrar->click();
        QCOMPARE(m_prompts->texts().last(), Texto("ErrBCa"));
        QCOMPARE(column(w.lvwPro, 0), (QStringList{"Bravo", "Charlie"}));
        QVERIFY(w.lvwPro->hasFocus() || !QApplication::focusWidget());
    }
};

QTEST_MAIN(TestProjectWindows)
#include "tst_projectwindows.moc"
