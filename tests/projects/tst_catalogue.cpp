// Project catalogue logic on real folders: scan, name check, create from a
// template or as a copy, rename, delete, copy of files, and their messages.
#include <QtTest>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "FolderRights.h"
#include "ModulINI.h"
#include "ProjectCatalogue.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
QByteArray crlf(const QStringList& lines) { return toAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")); }

QString makeProject(const QString& root, const QString& name, const QString& prot, const QString& desc) {
    const QString dir = QDir(root).filePath(name);
    QDir().mkpath(dir);
    QStringList ini{QStringLiteral("[Project]")};
    if (!prot.isNull()) ini << QStringLiteral("Prot=") + prot;
    ini << QStringLiteral("Desc=") + desc;
    writeAll(QDir(dir).filePath(QStringLiteral("Project.ini")), crlf(ini));
    return dir;
}

QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

QString projectValue(const QString& dir, const QString& key) {
    return iniRead(QDir(dir).filePath("Project.ini"), "Project", key, "<none>");
}

QString nat(const QString& p) { return QDir::toNativeSeparators(p); }
}  // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    // ---- scan

    void scanListsOnlyProjects() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        makeProject(root, "Bravo", "MBS6", "second");
        makeProject(root, "alpha", "LON", "first");
        makeProject(root, "NoProt", QString(), "no protocol key");
        makeProject(root, "EmptyProt", "", "empty protocol");
        QDir().mkpath(root + "/NoDescriptionFile");
        QVERIFY(writeAll(root + "/PlainFile.ini", crlf({"[Project]", "Prot=LON"})));
        // The protocol INI is not what makes a project.
        QDir().mkpath(root + "/OnlyLon");
        QVERIFY(writeAll(root + "/OnlyLon/LON.ini", crlf({"[Project]", "Prot=LON"})));

        app().NombreProyecto = "Bravo";
        const Escaneo r = EscanearProyectos();
        QVERIFY(r.ok);
        QCOMPARE(r.filas.size(), 2);
        QCOMPARE(r.filas[0].nombre, QStringLiteral("alpha"));
        QCOMPARE(r.filas[0].prot, QStringLiteral("LON"));
        QCOMPARE(r.filas[0].desc, QStringLiteral("first"));
        QCOMPARE(r.filas[1].nombre, QStringLiteral("Bravo"));
        QCOMPARE(r.seleccion, 1);
        QCOMPARE(app().NombreIni, QStringLiteral("Project"));
        QVERIFY(prompts.shown().isEmpty());
    }

    void scanSelection_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("selected");
        QTest::newRow("named project") << "Charlie" << 2;
        QTest::newRow("letter case counts") << "charlie" << 0;
        QTest::newRow("unknown name selects first") << "Zulu" << 0;
        QTest::newRow("no current project") << "" << 0;
    }
    void scanSelection() {
        QFETCH(QString, current);
        QFETCH(int, selected);
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        for (const char* n : {"Alpha", "Bravo", "Charlie"}) makeProject(root, n, "LON", "");
        app().NombreProyecto = current;
        QCOMPARE(EscanearProyectos().seleccion, selected);
    }

    void scanOfEmptyRoot() {
        TestHome home;
        ScriptedPrompts prompts;
        home.projectsRoot();
        const Escaneo r = EscanearProyectos();
        QVERIFY(r.ok);
        QVERIFY(r.filas.isEmpty());
        QCOMPARE(r.seleccion, -1);
    }

    void scanCreatesMissingRoot() {
        TestHome home;
        ScriptedPrompts prompts;
        app().RutaProyectos = home.file("deep/new/ProjectsASCII");
        const Escaneo r = EscanearProyectos();
        QVERIFY(r.ok);
        QVERIFY(QFileInfo(home.file("deep/new/ProjectsASCII")).isDir());
        QVERIFY(prompts.shown().isEmpty());
    }

    void scanOfRootThatCannotBeCreated() {
        TestHome home;
        ScriptedPrompts prompts;
        QVERIFY(writeAll(home.file("afile"), "x"));
        const QString root = nat(home.file("afile/ProjectsASCII"));
        app().RutaProyectos = root;
        const Escaneo r = EscanearProyectos();
        QVERIFY(!r.ok);
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.lastText(), Texto("ErrDirPro") + "\r" + root);
        QCOMPARE(prompts.shown()[0].style & 0x70, int(Msg::Critical));
    }

    void scanOfRootInUnwritableFolder() {
        TestHome home;
        ScriptedPrompts prompts;
        QDir().mkpath(home.file("locked"));
        NoWriteFolder deny(home.file("locked"));
        if (!deny.active()) QSKIP("cannot take write rights away here");
        app().RutaProyectos = home.file("locked/ProjectsASCII");
        QVERIFY(!EscanearProyectos().ok);
        QVERIFY(prompts.lastText().startsWith(Texto("ErrDirPro") + "\r"));
    }

    void scanOf500Projects() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        for (int i = 0; i < 500; ++i) makeProject(root, QString("P%1").arg(i, 3, 10, QChar('0')), "LON", "d");
        app().NombreProyecto = "P250";
        const Escaneo r = EscanearProyectos();
        QCOMPARE(r.filas.size(), 500);
        QCOMPARE(r.seleccion, 250);
        QCOMPARE(r.filas[499].nombre, QStringLiteral("P499"));
    }

    // ---- names

    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Plant 1" << true;
        QTest::newRow("accents in Windows-1252") << QString::fromUtf8("Área Ñandú") << true;
        QTest::newRow("leading blank") << " Left" << true;
        QTest::newRow("dash and underscore") << "a-b_c(2)" << true;
        QTest::newRow("255 characters") << QString(255, 'x') << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blanks only") << "   " << false;
        QTest::newRow("point") << "v1.2" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("less than") << "a<b" << false;
        QTest::newRow("greater than") << "a>b" << false;
        QTest::newRow("colon") << "C:x" << false;
        QTest::newRow("double quote") << "a\"b" << false;
        QTest::newRow("bar") << "a|b" << false;
        QTest::newRow("question mark") << "what?" << false;
        QTest::newRow("asterisk") << "all*" << false;
        QTest::newRow("tab") << "a\tb" << false;
        QTest::newRow("line feed") << "a\nb" << false;
        QTest::newRow("delete char") << QString("a") + QChar(0x7F) << false;
        QTest::newRow("device name") << "CON" << false;
        QTest::newRow("device name lower case") << "com1" << false;
        QTest::newRow("printer port") << "LPT9" << false;
        QTest::newRow("not a device") << "COM10" << true;
        QTest::newRow("trailing blank") << "Right " << false;
        QTest::newRow("256 characters") << QString(256, 'x') << false;
        QTest::newRow("too long in bytes") << QString(130, QChar(0xE9)) << false;
        QTest::newRow("outside Windows-1252") << QString::fromUtf8("Ωmega") << false;
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(NombreProyectoValido(name), valid);
    }

    void invalidNameTouchesNothing_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("name");
        QTest::newRow("create with point") << 1 << "a.b";
        QTest::newRow("create with backslash") << 1 << "a\\b";
        QTest::newRow("create blanks") << 1 << "  ";
        QTest::newRow("create with colon") << 1 << "x:y";
        QTest::newRow("create too long") << 1 << QString(300, 'n');
        QTest::newRow("rename to point") << 2 << "Old.1";
        QTest::newRow("rename to slash") << 2 << "Old/1";
        QTest::newRow("rename to star") << 2 << "Old*";
    }
    void invalidNameTouchesNothing() {
        QFETCH(int, mode);
        QFETCH(QString, name);
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        makeProject(root, "Old", "LON", "keep");
        const QStringList before = QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        ProyectoEdicion e;
        e.modo = mode;
        e.original = mode == 2 ? "Old" : "";
        e.nombre = name;
        e.prot = "LON";
        e.desc = "changed";
        QVERIFY(!AceptarProyecto(e));
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.lastText(), Texto("ErrNomPro"));
        QCOMPARE(prompts.shown()[0].style & 0x70, int(Msg::Exclamation));
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(projectValue(root + "/Old", "Desc"), QStringLiteral("keep"));
    }

    // ---- create

    void createFromTemplate() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        ProyectoEdicion e;
        e.nombre = "New";
        e.desc = "from the template";
        e.prot = "MBS6";
        QVERIFY(AceptarProyecto(e));
        QVERIFY(prompts.shown().isEmpty());
        const QString dir = root + "/New";
        QCOMPARE(app().RutaProyecto, nat(dir));
        QCOMPARE(filesIn(dir), (QStringList{"MBS6.dat", "MBS6.ini", "Project.ini"}));
        QCOMPARE(readAll(dir + "/MBS6.dat"), readAll(home.file("TemplatesASCII/MBS6.dat")));
        QCOMPARE(readAll(dir + "/MBS6.ini"), readAll(home.file("TemplatesASCII/MBS6.ini")));
        QCOMPARE(projectValue(dir, "Prot"), QStringLiteral("MBS6"));
        QCOMPARE(projectValue(dir, "Desc"), QStringLiteral("from the template"));
        // "Desc" first, then "Prot".
        const QByteArray ini = readAll(dir + "/Project.ini");
        QVERIFY(ini.indexOf("Desc=") < ini.indexOf("Prot="));
    }

    void createTemplateMatchIgnoresCase() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        const QString tpl = home.file("tpl");
        QDir().mkpath(tpl + "/MBS6.sub");
        QVERIFY(writeAll(tpl + "/mbs6.INI", "a"));
        QVERIFY(writeAll(tpl + "/MBS6.Dat", "b"));
        QVERIFY(writeAll(tpl + "/MBS6", "no extension"));
        QVERIFY(writeAll(tpl + "/MBS62.ini", "other protocol"));
        QVERIFY(writeAll(tpl + "/LON.ini", "other protocol"));
        QVERIFY(QFile::setPermissions(tpl + "/mbs6.INI", QFile::ReadOwner | QFile::ReadGroup));
        app().RutaPlantillas = tpl;
        ProyectoEdicion e;
        e.nombre = "Case";
        e.prot = "MBS6";
        QVERIFY(AceptarProyecto(e));
        QVERIFY2(prompts.shown().isEmpty(), qPrintable(prompts.texts().join('|')));
        QCOMPARE(filesIn(root + "/Case"), (QStringList{"MBS6.Dat", "Project.ini", "mbs6.INI"}));
        // A read-only template gives an editable project file.
        QVERIFY(QFileInfo(root + "/Case/mbs6.INI").permissions() & QFile::WriteOwner);
    }

    void createWithoutTemplateFilesIsQuiet() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        QDir().mkpath(home.file("emptytpl"));
        app().RutaPlantillas = home.file("emptytpl");
        ProyectoEdicion e;
        e.nombre = "Bare";
        e.prot = "LON";
        QVERIFY(AceptarProyecto(e));
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(filesIn(root + "/Bare"), QStringList{"Project.ini"});
        QCOMPARE(projectValue(root + "/Bare", "Prot"), QStringLiteral("LON"));
    }

    void createWithTemplatesFolderMissing() {
        TestHome home(/*withTemplates=*/false);
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        ProyectoEdicion e;
        e.nombre = "NoTpl";
        e.prot = "MBS6";
        QVERIFY(AceptarProyecto(e));
        QCOMPARE(prompts.texts(),
                 (QStringList{Texto("Erroralacc") + "\r" + app().RutaPlantillas, Texto("ErrCopFilPla")}));
        QCOMPARE(prompts.shown()[1].style & 0x70, int(Msg::Exclamation));
        QCOMPARE(filesIn(root + "/NoTpl"), QStringList{"Project.ini"});
    }

    void createOverExistingFolder_data() {
        QTest::addColumn<QString>("existing");
        QTest::newRow("a project") << "Taken";
        QTest::newRow("a folder that is no project") << "Folder";
        QTest::newRow("a plain file") << "File";
    }
    void createOverExistingFolder() {
        QFETCH(QString, existing);
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        makeProject(root, "Taken", "LON", "keep");
        QDir().mkpath(root + "/Folder");
        QVERIFY(writeAll(root + "/File", "x"));
        ProyectoEdicion e;
        e.nombre = existing;
        e.prot = "MBS6";
        e.desc = "overwrite?";
        QVERIFY(!AceptarProyecto(e));
        QCOMPARE(prompts.texts(), QStringList{Texto("ProErr")});
        QCOMPARE(prompts.shown()[0].style & 0x70, int(Msg::Critical));
        QCOMPARE(projectValue(root + "/Taken", "Desc"), QStringLiteral("keep"));
        QVERIFY(!QFileInfo::exists(root + "/Folder/Project.ini"));
        QCOMPARE(readAll(root + "/File"), QByteArray("x"));
    }

    void createAsCopy() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        const QString src = makeProject(root, "Source", "LON", "original");
        QVERIFY(writeAll(src + "/LON.ini", "[ASCII]\r\nIP=127.0.0.1\r\n"));
        QVERIFY(writeAll(src + "/LON.dat", "PROTOCOLO=60-LON\r\n"));
        QVERIFY(writeAll(src + "/.hidden", "h"));
        QDir().mkpath(src + "/sub");
        QVERIFY(writeAll(src + "/sub/inner.txt", "not copied"));
        ProyectoEdicion e;
        e.copiar = true;
        e.original = "Source";
        e.nombre = "Copy";
        e.desc = "the copy";
        e.prot = "LON";
        QVERIFY(AceptarProyecto(e));
        QVERIFY(prompts.shown().isEmpty());
        const QString dst = root + "/Copy";
        QCOMPARE(filesIn(dst), (QStringList{".hidden", "LON.dat", "LON.ini", "Project.ini"}));
        QVERIFY(!QFileInfo::exists(dst + "/sub"));
        QCOMPARE(readAll(dst + "/LON.ini"), readAll(src + "/LON.ini"));
        QCOMPARE(projectValue(dst, "Desc"), QStringLiteral("the copy"));
        QCOMPARE(projectValue(src, "Desc"), QStringLiteral("original"));
    }

    void createAsCopyOfVanishedProject() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        ProyectoEdicion e;
        e.copiar = true;
        e.original = "Gone";
        e.nombre = "Copy";
        e.prot = "LON";
        QVERIFY(AceptarProyecto(e));
        QCOMPARE(prompts.texts(), (QStringList{Texto("Erroralacc") + "\r" + nat(root + "/Gone"), Texto("ErrCopPro")}));
        QCOMPARE(filesIn(root + "/Copy"), QStringList{"Project.ini"});
    }

    // ---- edit

    void editWithoutRenameOnlyRewritesIni() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        const QString dir = makeProject(root, "Same", "LON", "old text");
        QVERIFY(writeAll(dir + "/LON.ini", "keep"));
        ProyectoEdicion e;
        e.modo = 2;
        e.original = "Same";
        e.nombre = "Same";
        e.desc = "new text";
        e.prot = "LON";
        QVERIFY(AceptarProyecto(e));
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(projectValue(dir, "Desc"), QStringLiteral("new text"));
        QCOMPARE(projectValue(dir, "Prot"), QStringLiteral("LON"));
        QCOMPARE(readAll(dir + "/LON.ini"), QByteArray("keep"));
        QCOMPARE(app().RutaProyecto, nat(dir));
    }

    void editWithRename() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        const QString dir = makeProject(root, "Before", "MBS6", "d");
        QVERIFY(writeAll(dir + "/MBS6.dat", "data"));
        ProyectoEdicion e;
        e.modo = 2;
        e.original = "Before";
        e.nombre = "After";
        e.desc = "renamed";
        e.prot = "MBS6";
        QVERIFY(AceptarProyecto(e));
        QVERIFY(!QFileInfo::exists(dir));
        QCOMPARE(readAll(root + "/After/MBS6.dat"), QByteArray("data"));
        QCOMPARE(projectValue(root + "/After", "Desc"), QStringLiteral("renamed"));
        QCOMPARE(app().RutaProyecto, nat(root + "/After"));
    }

    void editRenameChangingLetterCaseOnly() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        makeProject(root, "plant", "LON", "d");
        ProyectoEdicion e;
        e.modo = 2;
        e.original = "plant";
        e.nombre = "Plant";
        e.prot = "LON";
        QVERIFY(AceptarProyecto(e));
        QCOMPARE(QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Plant"});
    }

    void editRenameFails_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("original");
        QTest::newRow("onto another project") << "Other" << "Mine";
        QTest::newRow("onto an empty folder") << "Empty" << "Mine";
        QTest::newRow("project folder vanished") << "Fresh" << "Vanished";
    }
    void editRenameFails() {
        QFETCH(QString, target);
        QFETCH(QString, original);
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        makeProject(root, "Mine", "LON", "mine");
        makeProject(root, "Other", "LON", "other");
        QDir().mkpath(root + "/Empty");
        ProyectoEdicion e;
        e.modo = 2;
        e.original = original;
        e.nombre = target;
        e.desc = "changed";
        e.prot = "LON";
        QVERIFY(!AceptarProyecto(e));
        QCOMPARE(prompts.texts(), QStringList{Texto("ErrNomPro")});
        QCOMPARE(prompts.shown()[0].style & 0x70, int(Msg::Critical));
        QCOMPARE(projectValue(root + "/Mine", "Desc"), QStringLiteral("mine"));
        QCOMPARE(projectValue(root + "/Other", "Desc"), QStringLiteral("other"));
        QVERIFY(QFileInfo(root + "/Empty").isDir());
        QVERIFY(!QFileInfo::exists(root + "/Fresh"));
    }

    // ---- delete

    void deleteAnswers_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("gone");
        QTest::newRow("yes") << int(Msg::Yes) << true;
        QTest::newRow("no") << int(Msg::No) << false;
    }
    void deleteAnswers() {
        QFETCH(int, answer);
        QFETCH(bool, gone);
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        const QString dir = makeProject(root, "Doomed", "LON", "");
        QVERIFY(writeAll(dir + "/LON.dat", "x"));
        QVERIFY(writeAll(dir + "/.hidden", "x"));
        prompts.queueAnswer(answer);
        QCOMPARE(BorrarProyecto("Doomed"), gone);
        QCOMPARE(prompts.texts(), QStringList{Texto("BorrarPro") + "Doomed ?"});
        QCOMPARE(prompts.shown()[0].style, int(Msg::YesNo | Msg::Question));
        QCOMPARE(QFileInfo::exists(dir), !gone);
    }

    void deleteFolderWithSubfolder() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        const QString dir = makeProject(root, "Nested", "LON", "");
        QDir().mkpath(dir + "/logs");
        QVERIFY(BorrarProyecto("Nested"));
        QCOMPARE(prompts.texts().mid(1), QStringList{Texto("ErrBCa")});
        QCOMPARE(prompts.shown()[1].style & 0x70, int(Msg::Critical));
        // The files went, the folder and its sub-folder stay.
        QVERIFY(filesIn(dir).isEmpty());
        QVERIFY(QFileInfo(dir + "/logs").isDir());
    }

    void deleteProjectWithoutRights() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        const QString dir = makeProject(root, "Locked", "LON", "");
        {
            NoWriteFolder deny(dir);
            if (!deny.active()) QSKIP("cannot take write rights away here");
            QVERIFY(BorrarProyecto("Locked"));
        }
        QCOMPARE(prompts.texts().mid(1), (QStringList{Texto("ErrBFi"), Texto("ErrBCa")}));
        QVERIFY(QFileInfo::exists(dir + "/Project.ini"));
    }

    void createInRootWithoutRights() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        NoWriteFolder deny(root);
        if (!deny.active()) QSKIP("cannot take write rights away here");
        ProyectoEdicion e;
        e.nombre = "Denied";
        e.prot = "LON";
        QVERIFY(!AceptarProyecto(e));
        QCOMPARE(prompts.texts(), QStringList{Texto("ProErr")});
    }

    // ---- folders and file copies

    void existeCarpeta_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("exists");
        QTest::newRow("folder") << "TemplatesASCII" << true;
        QTest::newRow("missing") << "Nowhere" << false;
        QTest::newRow("a file is no folder") << "PilmoraASCII.LNG" << false;
        QTest::newRow("empty path") << "" << false;
    }
    void existeCarpeta() {
        QFETCH(QString, relative);
        QFETCH(bool, exists);
        TestHome home;
        ScriptedPrompts prompts;
        const QString path = relative.isEmpty() ? QString() : nat(home.file(relative));
        QCOMPARE(ExisteCarpeta(path), exists);
        QCOMPARE(prompts.texts(), exists ? QStringList() : QStringList{Texto("Erroralacc") + "\r" + path});
    }

    void copyGoesOnAfterOneFailure() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString src = home.file("src"), dst = home.file("dst");
        QDir().mkpath(src);
        QDir().mkpath(dst);
        QVERIFY(writeAll(src + "/a.txt", "a"));
        QVERIFY(writeAll(src + "/b.txt", "b"));
        QVERIFY(writeAll(src + "/c.txt", "c"));
        QVERIFY(writeAll(dst + "/b.txt", "already there"));
        QVERIFY(CopiarFicheros(src, dst, QString()));
        QCOMPARE(prompts.texts(), QStringList{Texto("Erroralcopy") + "\r" + nat(dst + "/b.txt")});
        QCOMPARE(prompts.shown()[0].style & 0x70, int(Msg::Exclamation));
        QCOMPARE(readAll(dst + "/a.txt"), QByteArray("a"));
        QCOMPARE(readAll(dst + "/c.txt"), QByteArray("c"));
        QCOMPARE(readAll(dst + "/b.txt"), QByteArray("already there"));
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
