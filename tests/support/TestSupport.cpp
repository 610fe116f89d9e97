#include "TestSupport.h"

#include "AnsiText.h"
#include "AppGlobals.h"
#include "mIdioma.h"

TestHome::TestHome(bool withTemplates, bool loadLanguage) {
    resetApp();
    app().appFolder = m_dir.path();
    LlenaProtocolos();
    QFile::copy(QStringLiteral(PILMORA_BIN_DIR) + "/PilmoraASCII.LNG", file("PilmoraASCII.LNG"));
    if (withTemplates) copyTemplates(file("TemplatesASCII"));
    app().RutaPlantillas = file("TemplatesASCII");
    app().RutaProyectos = file("ProjectsASCII");
    if (loadLanguage) CargaIdioma();
}

TestHome::~TestHome() { resetApp(); }

QString TestHome::file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

QString TestHome::projectsRoot(const QString& sub) {
    const QString p = file(sub);
    QDir().mkpath(p);
    return app().RutaProyectos = p;
}

QString testData(const QString& name) { return QStringLiteral(PILMORA_TEST_DATA) + "/" + name; }

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray crlf(const QStringList& lines) { return toAnsi(lines.join("\r\n") + "\r\n"); }

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    bool ok = QDir(from).exists();
    for (const QFileInfo& fi : QDir(from).entryInfoList(QDir::Files)) {
        const QString dst = QDir(to).filePath(fi.fileName());
        QFile::remove(dst);
        ok = QFile::copy(fi.filePath(), dst) && ok;
    }
    return ok;
}

bool copyTemplates(const QString& to) {
    bool ok = copyFolder(QStringLiteral(PILMORA_BIN_DIR) + "/TemplatesASCII", to);
    for (const QFileInfo& fi : QDir(to).entryInfoList({"*.ini"}, QDir::Files)) {
        QFile::setPermissions(fi.filePath(), fi.permissions() | QFileDevice::WriteOwner);
        ok =
            writeAll(fi.filePath(), readAll(fi.filePath()).replace("\nIP=192.168.100.246\r", "\nIP=127.0.0.1\r")) && ok;
    }
    return ok;
}

CliRun runPilmora(const QString& home, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("PILMORA_HOME");
    p.setProcessEnvironment(env), p.setWorkingDirectory(home);  // relative names are the home's
    p.start(QStringLiteral(PILMORA_BIN_DIR "/pilmora"), QStringList{"--home", home} + args);
    CliRun r;
    if (!p.waitForFinished(30000)) return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QString withTexts(QString s) {
    static const QRegularExpression key(QStringLiteral("@([A-Za-z0-9-]+)[;|]?"));
    QRegularExpressionMatch m;
    while ((m = key.match(s)).hasMatch()) s.replace(m.capturedStart(), m.capturedLength(), Texto(m.captured(1)));
    return s;
}

QByteArray b(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int v : bytes) out.append(char(v));
    return out;
}
