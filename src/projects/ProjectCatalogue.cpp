#include "ProjectCatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ModulINI.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {
const QString kCR = QStringLiteral("\r");

// A copied template may be read-only; the project's copy must stay editable.
void haceEscribible(const QString& path) {
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
}
}  // namespace

QString rutaDeProyecto(const QString& nombre) { return joinPath(app().RutaProyectos, nombre); }

bool ExisteCarpeta(const QString& path) {
    if (!path.isEmpty() && QFileInfo(path).isDir()) return true;
    MsgBox(Texto("Erroralacc") + kCR + path, Msg::Critical);
    return false;
}

bool CopiarFicheros(const QString& source, const QString& destination, const QString& pattern,
                    const QStringList& skip) {
    if (!ExisteCarpeta(source)) return false;
    const QDir src(source);
    if (!src.isReadable()) {
        MsgBox(Texto("Erroralacc") + kCR + source, Msg::Critical);
        return false;
    }
    const QStringList filters = pattern.isEmpty() ? QStringList() : QStringList{pattern};
    // Name filters ignore letter case unless QDir::CaseSensitive is given.
    const QFileInfoList files = src.entryInfoList(filters, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& fi : files) {
        if (skip.contains(fi.fileName(), Qt::CaseInsensitive)) continue;
        const QString target = joinPath(destination, fi.fileName());
        if (!QFile::copy(fi.filePath(), target)) {
            MsgBox(Texto("Erroralcopy") + kCR + target, Msg::Exclamation);
            continue;
        }
        haceEscribible(target);
    }
    return true;
}

bool NombreProyectoValido(const QString& name) {
    if (name.trimmed().isEmpty()) return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('.')) return false;
    // The name is kept as "LastProject" in an INI file of Windows-1252 lines,
    // whose values lose blanks around them: it must come back unchanged.
    const auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\v') || c == QLatin1Char('\f');
    };
    if (blank(name.front()) || blank(name.back())) return false;
    if (name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n')) || name.contains(QChar())) return false;
    if (fromAnsi(toAnsi(name)) != name) return false;
    // Everything else is for the file system to refuse when the folder is made.
    return true;
}

Escaneo EscanearProyectos() {
    BusyPointer busy;
    Escaneo r;
    auto& a = app();
    a.NombreIni = QString::fromLatin1(kIniProyecto);
    const QString root = a.RutaProyectos;
    auto listable = [](const QString& p) { return !p.isEmpty() && QFileInfo(p).isDir() && QDir(p).isReadable(); };
    if (!listable(root)) {
        if (root.isEmpty() || !QDir().mkpath(root) || !listable(root)) {
            MsgBox(Texto("ErrDirPro") + kCR + root, Msg::Critical);
            return r;
        }
    }
    r.ok = true;
    // Listed by name, as the catalogue has always shown them on Windows; the user
    // re-sorts by any column.
    const QStringList dirs =
        QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    const QString seccion = QString::fromLatin1(kIniProyecto);
    for (const QString& entry : dirs) {
        a.RutaProyecto = joinPath(root, entry);
        const QString prot = LeeIni(seccion, QStringLiteral("Prot"), QString());
        if (prot.isEmpty()) continue;
        const QString desc = LeeIni(seccion, QStringLiteral("Desc"), QString());
        if (entry == a.NombreProyecto && r.seleccion < 0) r.seleccion = int(r.filas.size());
        r.filas.append({entry, prot, desc});
    }
    if (r.seleccion < 0 && !r.filas.isEmpty()) r.seleccion = 0;
    return r;
}

bool AceptarProyecto(const ProyectoEdicion& e) {
    auto& a = app();
    const QString nueva = rutaDeProyecto(e.nombre);
    a.RutaProyecto = nueva;
    // A listed project keeps whatever name it has while only its description changes.
    const bool cambiaNombre = e.modo != 2 || e.nombre != e.original;
    if (cambiaNombre && !NombreProyectoValido(e.nombre)) {
        MsgBox(Texto("ErrNomPro"), Msg::Exclamation);
        return false;
    }
    if (e.modo == 2) {
        if (e.nombre != e.original) {
            const QString vieja = rutaDeProyecto(e.original);
            const QFileInfo destino(nueva);
            // Renaming onto another existing folder must fail, also where the
            // system would silently replace an empty one; a change of letter case
            // only is the same folder.
            const bool ocupado =
                destino.exists() && destino.canonicalFilePath() != QFileInfo(vieja).canonicalFilePath();
            if (ocupado) {
                MsgBox(Texto("ErrNomProExiste") + kCR + nueva, Msg::Critical);
                return false;
            }
            if (!QDir().rename(vieja, nueva)) {
                MsgBox(Texto("ErrNomPro"), Msg::Critical);
                return false;
            }
        }
    } else {
        if (!QDir().mkdir(nueva)) {
            MsgBox(Texto("ProErr"), Msg::Critical);
            return false;
        }
        if (e.copiar) {
            // A copy is a new installation: what was sent to the original's
            // gateways and its handover state stay with the original.
            if (!CopiarFicheros(rutaDeProyecto(e.original), nueva, QString(),
                                {QStringLiteral("History.csv"), QStringLiteral("Checkout.csv")}))
                MsgBox(Texto("ErrCopPro"), Msg::Exclamation);
        } else if (!CopiarFicheros(a.RutaPlantillas, nueva, e.prot + QStringLiteral(".*"))) {
            MsgBox(Texto("ErrCopFilPla"), Msg::Exclamation);
        }
    }
    a.NombreIni = QString::fromLatin1(kIniProyecto);
    const QString seccion = QString::fromLatin1(kIniProyecto);
    EscribeIni(seccion, QStringLiteral("Desc"), e.desc);
    EscribeIni(seccion, QStringLiteral("Prot"), e.prot);
    return true;
}

bool BorrarProyecto(const QString& nombre) {
    // The question ends in the language text; the name follows on a line of its own.
    if (MsgBox(Texto("BorrarPro") + kCR + nombre, Msg::YesNo | Msg::Question) != Msg::Yes) return false;
    // The next start must not look for the deleted folder.
    const QString seccion = QStringLiteral("Configuracion"), clave = QStringLiteral("LastProject");
    if (LeeIniAplicacion(seccion, clave, QString()) == nombre) EscribeIniAplicacion(seccion, clave, QString());
    const QString ruta = rutaDeProyecto(nombre);
    const QDir dir(ruta);
    bool ficherosOk = dir.isReadable();
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& fi : files) ficherosOk = QFile::remove(fi.filePath()) && ficherosOk;
    if (!ficherosOk) MsgBox(Texto("ErrBFi"), Msg::Critical);
    // The copies of files sent go with the project.
    QDir(joinPath(ruta, QStringLiteral("history"))).removeRecursively();
    // rmdir refuses a folder that still holds anything, sub-folders included.
    if (!QDir().rmdir(ruta)) MsgBox(Texto("ErrBCa"), Msg::Critical);
    return true;
}

QString projectProtocol(const QString& folder) {
    return iniRead(findNoCase(folder, QStringLiteral("Project.ini")), QStringLiteral("Project"), QStringLiteral("Prot"),
                   QString())
        .trimmed();
}
