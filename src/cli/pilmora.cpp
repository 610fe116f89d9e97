// pilmora: checks a LON or MBS6 project and builds its gateway download file
// without a window.
//
//   pilmora [--home DIR] check PROJECT_DIR
//   pilmora [--home DIR] generate PROJECT_DIR [--at "yyyy/mm/dd hh:nn:ss"]
//   pilmora [--home DIR] import-xif PROJECT_DIR FILE... [--devices FIRST-LAST] [--prefix] [--node-object]
//   pilmora [--home DIR] send PROJECT_DIR (--udp HOST:PORT | --serial DEVICE [--settings TEXT]) [--timeout S]
//   pilmora [--home DIR] export-csv PROJECT_DIR FILE [--separator C]
//   pilmora [--home DIR] import-csv PROJECT_DIR FILE
//   pilmora [--home DIR] poll PROJECT_DIR (--udp HOST:PORT | --serial DEVICE [--settings TEXT]) [--watch S]
//   pilmora [--home DIR] decode FILE [--json]
//   pilmora [--home DIR] diff FILE_A FILE_B | diff PROJECT_DIR
//   pilmora [--home DIR] report PROJECT_DIR [--pdf FILE] [--html FILE] [--points FILE.csv]
//   pilmora --help
//   pilmora --version
//
// Exit status: 0 done, 1 the project has a fault (the message says which),
// 2 wrong usage. Texts come from the language file of the application folder.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QVector>
#include <cstdio>
#include <functional>

#include "AnsiText.h"
#include "AppFolder.h"
#include "AppGlobals.h"
#include "ConsolePrompts.h"
#include "FileDamage.h"
#include "InspectCommand.h"
#include "LonChecks.h"
#include "LonConfig.h"
#include "LonCsv.h"
#include "LonDownload.h"
#include "LonGrid.h"
#include "LonProject.h"
#include "Mbs6Csv.h"
#include "Mbs6Download.h"
#include "Mbs6Grid.h"
#include "Mbs6Project.h"
#include "ModPilmoraASCII.h"
#include "ModSNVT.h"
#include "ModulConfASCII.h"
#include "PdfReport.h"
#include "ProjectCatalogue.h"
#include "Prompts.h"
#include "ReportCommand.h"
#include "SendCommand.h"
#include "SignalGrid.h"
#include "Startup.h"
#include "XifImport.h"
#include "mIdioma.h"

namespace {
enum Exit { kOk = 0, kFault = 1, kUsage = 2 };

struct Options {
    bool help = false;
    bool version = false;
    QString home;
    QString command;
    QString project;
    QString file;       // export-csv / import-csv
    QString separator;  // export-csv
    QDateTime at;
    QStringList files;  // import-xif
    int firstDevice = 1, lastDevice = 1;
    bool devicesGiven = false;
    bool prefix = false, nodeObject = false;
    bool wrong = false;  // the command line is wrong
    QString error;       // the part that is
};

Options parse(const QStringList& args) {
    Options o;
    QStringList positional;
    for (int i = 0; i < args.size() && !o.wrong; ++i) {
        const QString& a = args[i];
        auto value = [&](const QString& name, QString* out) {
            if (a.startsWith(name + QLatin1Char('='))) {
                *out = a.mid(name.size() + 1);
            } else if (i + 1 < args.size()) {
                *out = args[++i];
            } else {
                o.wrong = true;
                o.error = name;
            }
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a == QLatin1String("--home") || a.startsWith(QLatin1String("--home="))) {
            value(QStringLiteral("--home"), &o.home);
        } else if (a == QLatin1String("--at") || a.startsWith(QLatin1String("--at="))) {
            QString t;
            value(QStringLiteral("--at"), &t);
            o.at = QDateTime::fromString(t, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
            if (!o.wrong && !o.at.isValid()) {
                o.wrong = true;
                o.error = QStringLiteral("--at ") + t;
            }
        } else if (a == QLatin1String("--devices") || a.startsWith(QLatin1String("--devices="))) {
            QString t;
            value(QStringLiteral("--devices"), &t);
            const QStringList ends = t.split(QLatin1Char('-'));
            bool ok1 = false, ok2 = ends.size() == 1;
            if (ends.size() <= 2) o.firstDevice = ends[0].trimmed().toInt(&ok1);
            o.lastDevice = ends.size() == 2 ? ends[1].trimmed().toInt(&ok2) : o.firstDevice;
            o.devicesGiven = true;
            if (!o.wrong && (!ok1 || !ok2)) {
                o.wrong = true;
                o.error = QStringLiteral("--devices ") + t;
            }
        } else if (a == QLatin1String("--prefix")) {
            o.prefix = true;
        } else if (a == QLatin1String("--node-object")) {
            o.nodeObject = true;
        } else if (a == QLatin1String("--separator") || a.startsWith(QLatin1String("--separator="))) {
            value(QStringLiteral("--separator"), &o.separator);
            if (!o.wrong && o.separator != QLatin1String(",") && o.separator != QLatin1String(";")) {
                o.wrong = true;
                o.error = QStringLiteral("--separator ") + o.separator;
            }
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            o.wrong = true;
            o.error = a;
        } else {
            positional << a;
        }
    }
    if (o.help || o.version || o.wrong) return o;
    o.wrong = true;
    o.command = positional.value(0);
    const bool import = o.command == QLatin1String("import-xif");
    const bool csv = o.command == QLatin1String("export-csv") || o.command == QLatin1String("import-csv");
    if (import ? positional.size() < 3 : positional.size() != (csv ? 3 : 2)) {
        o.error = positional.join(QLatin1Char(' '));
        return o;
    }
    o.project = positional[1];
    o.files = positional.mid(2);
    if (csv) o.file = positional[2];
    if (o.command != QLatin1String("check") && o.command != QLatin1String("generate") && !import && !csv)
        o.error = o.command;
    else if (o.at.isValid() && o.command != QLatin1String("generate"))
        o.error = QStringLiteral("--at");
    else if (!import && (o.devicesGiven || o.prefix || o.nodeObject))
        o.error = o.devicesGiven ? QStringLiteral("--devices")
                  : o.prefix     ? QStringLiteral("--prefix")
                                 : QStringLiteral("--node-object");
    else if (!o.separator.isEmpty() && o.command != QLatin1String("export-csv"))
        o.error = QStringLiteral("--separator");
    else
        o.wrong = false;
    return o;
}

void out(std::FILE* f, const QString& text) {
    const QByteArray b = (text + QLatin1Char('\n')).toLocal8Bit();
    std::fputs(b.constData(), f);
}

void usage(std::FILE* f) {
    out(f, Texto("PilmoraUso"));
    out(f, QStringLiteral("  pilmora [--home DIR] check PROJECT_DIR"));
    out(f, QStringLiteral("      ") + Texto("PilmoraAyudaCheck"));
    out(f, QStringLiteral("  pilmora [--home DIR] generate PROJECT_DIR [--at \"yyyy/mm/dd hh:nn:ss\"]"));
    out(f, QStringLiteral("      ") + Texto("PilmoraAyudaGenerate"));
    out(f, QStringLiteral("  pilmora [--home DIR] import-xif PROJECT_DIR FILE... [--devices FIRST-LAST] [--prefix] "
                          "[--node-object]"));
    out(f, QStringLiteral("      ") + Texto("PilmoraAyudaImportXif"));
    for (const QString& u : sendUsage()) out(f, u);
    out(f, QStringLiteral("  pilmora [--home DIR] export-csv PROJECT_DIR FILE [--separator ,|;]"));
    out(f, QStringLiteral("      ") + Texto("CsvAyudaExportar"));
    out(f, QStringLiteral("  pilmora [--home DIR] import-csv PROJECT_DIR FILE"));
    out(f, QStringLiteral("      ") + Texto("CsvAyudaImportar"));
    for (const QString& u : pollUsage()) out(f, u);
    for (const QString& u : inspectUsage()) out(f, u);
    for (const QString& u : reportUsage()) out(f, u);
    out(f, QStringLiteral("  pilmora --help"));
    out(f, QStringLiteral("  pilmora --version"));
    out(f, QStringLiteral("  --home DIR   ") + Texto("PilmoraAyudaHome"));
    out(f, QStringLiteral("  --at         ") + Texto("PilmoraAyudaAt"));
}

// Where the point check stopped.
int pointFault(const SignalGrid& grid) {
    out(stderr,
        Texto("PosicionCelda") + QString::number(grid.Row()) + QStringLiteral(", ") + QString::number(grid.Col()));
    return kFault;
}

int checkLon(const QString& folder) {
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    if (!loadLonProject(folder, cfg, grid, info)) return kFault;
    Limpia_FilasVacias(grid);
    if (!Valida_Opciones(grid, kLonChoiceCols) || !Valida_Puntos(cfg, grid)) return pointFault(grid);
    if (!Valida_Dispositivos(cfg)) return kFault;
    out(stdout, Texto("ComprobacionCorrecta"));
    return kOk;
}

// The report of a file written is the result (stdout); anything else said on
// the way is a fault or a warning (stderr).
int reported(ConsolePrompts& console, const std::function<bool()>& generate) {
    const qsizetype before = console.shown().size();
    console.setEcho(false);
    const bool ok = generate();
    console.setEcho(true);
    const QStringList said = console.shown().mid(before);
    for (qsizetype i = 0; i < said.size(); ++i)
        ConsolePrompts::printTo(ok && i == said.size() - 1 ? stdout : stderr, said[i]);
    return ok ? kOk : kFault;
}

int generateLon(const QString& folder, const QDateTime& at, ConsolePrompts& console) {
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    if (!loadLonProject(folder, cfg, grid, info)) return kFault;
    return reported(console, [&] { return Genera_FicheroDescarga(cfg, grid, at); });
}

// The editor's import without a window: every importable NV of the files, for
// the device range, then the signal table written as the save writes it (the
// configuration INI is left as it is).
int importXif(const QString& folder, const Options& o) {
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    ResuelveRutas();
    ModSNVT& catalogue = catalogoSNVT();
    if (!catalogue.CargaSNVT()) return kFault;
    if (!loadLonProject(folder, cfg, grid, info)) return kFault;
    if (o.firstDevice < 1 || o.lastDevice < o.firstDevice || o.lastDevice > cfg.NDevs) {
        out(stderr, Texto("XifRangoIncorrecto") + QString::number(qMax(cfg.NDevs, 0)) + QStringLiteral("): ") +
                        QString::number(o.firstDevice) + QLatin1Char('-') + QString::number(o.lastDevice));
        return kFault;
    }
    QVector<XifFila> list;
    XifLectura read;
    read.nodeObject = o.nodeObject;
    for (const QString& file : o.files) {
        if (!QFileInfo(file).isFile() || !leeFicheroXif(file, catalogue, read, list)) {
            out(stderr, Texto("XifNoLeido") + file);
            return kFault;
        }
    }
    // What the window lists as warnings is said here: each NV left out, and why.
    for (const XifFila& row : list)
        if (row.snvt.startsWith(QLatin1String("!!")))
            out(stderr, Texto("XifNvOmitida") + row.descripcion + QStringLiteral(" - ") + row.nombre);
    const QVector<bool> all(list.size(), true);
    const int count = Importar_Puntos(grid, catalogue, list, all, o.firstDevice, o.lastDevice, o.prefix, false);
    Limpia_FilasVacias(grid);
    if (!Graba_Senyales(kSlotLon, QString::fromLatin1(kVersionTabla), grid, true)) return kFault;
    out(stdout, textoPuntosNuevos(count));
    return kOk;
}

// The MBS6 grid is fixed: there are no empty rows to remove and no devices to check.
int checkMbs6(const QString& folder) {
    Mbs6Config cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    if (!loadMbs6Project(folder, cfg, grid, info)) return kFault;
    if (!Valida_ConfMbs6(cfg)) return kFault;
    if (!Valida_Opciones(grid, kMbs6ChoiceCols) || !Valida_PuntosMbs6(grid)) return pointFault(grid);
    // A warning: the file is still right, it just leaves those points out.
    const QString left = mbs6AvisoSinUnidad(mbs6PuntosSinUnidad(cfg, grid));
    if (!left.isEmpty()) out(stderr, left);
    out(stdout, Texto("ComprobacionCorrecta"));
    return kOk;
}

int generateMbs6(const QString& folder, const QDateTime& at, ConsolePrompts& console) {
    Mbs6Config cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    if (!loadMbs6Project(folder, cfg, grid, info)) return kFault;
    return reported(console, [&] { return Genera_FicheroDescarga(cfg, grid, at); });
}

// The project's table as its editor loads it: LON or MBS6.
struct LoadedTable {
    LonConfig lon;
    Mbs6Config mbs6;
    SignalGrid grid;
    QVector<InfoColumna> info;
    bool load(const QString& folder, int slot) {
        return slot == kSlotLon ? loadLonProject(folder, lon, grid, info) : loadMbs6Project(folder, mbs6, grid, info);
    }
};

int exportCsv(const QString& folder, const Options& o, int slot) {
    LoadedTable t;
    if (!t.load(folder, slot)) return kFault;
    const QChar sep = o.separator.isEmpty() ? csvDefaultSeparator() : o.separator[0];
    QString error;
    const bool written = slot == kSlotLon ? lonCsvExport(o.file, t.grid, t.lon, sep, &error)
                                          : mbs6CsvExport(o.file, t.grid, sep, &error);
    if (!written) {
        out(stderr, error);
        return kFault;
    }
    out(stdout, Texto("CsvExportado") + QString::number(t.grid.dataRows()));
    return kOk;
}

// Nothing is written unless every row is right; the table replaced stays beside as a backup.
int importCsv(const QString& folder, const Options& o, int slot) {
    LoadedTable t;
    if (!t.load(folder, slot)) return kFault;
    CsvRecords records;
    QString error;
    QStringList faults;
    if (!csvReadFile(o.file, &records, &error)) faults << error;
    int rows = 0;
    if (faults.isEmpty()) {
        if (slot == kSlotLon)
            lonCsvImport(records, t.lon, t.grid, &faults, &rows);
        else
            mbs6CsvImport(records, t.grid, &faults, &rows);
    }
    if (!faults.isEmpty()) {
        out(stderr, Texto("CsvNoImportado"));
        for (const QString& f : faults) out(stderr, f);
        return kFault;
    }
    takeBackupsMade();
    markLossyLoad(rutaTablaSenyales(slot), true, Texto("CsvCopiaGuardada"));
    if (!Graba_Senyales(slot, QString::fromLatin1(kVersionTabla), t.grid, true)) return kFault;
    out(stdout, Texto("CsvImportado") + QString::number(rows));
    for (const QString& backup : takeBackupsMade()) out(stdout, Texto("CsvCopiaGuardada") + backup);
    return kOk;
}
}  // namespace

int main(int argc, char** argv) {
    // A PDF needs fonts, so the GUI module, on a platform that needs no display.
    const std::unique_ptr<QCoreApplication> qapp =
        reportWantsPdf(argc, argv) ? aplicacionSinPantalla(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    // Same name as the program with windows: both share the per-user folder.
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QStringList args = QCoreApplication::arguments().mid(1);
    // "send", "poll", "report", "decode" and "diff" have options of their own: everything after them is theirs.
    QStringList sendArgs;
    bool isSend = false, isPoll = false, isReport = false;
    QString inspect;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--home")) {
            ++i;
        } else if (!args[i].startsWith(QLatin1Char('-'))) {
            if (args[i] == QLatin1String("decode") || args[i] == QLatin1String("diff")) {
                inspect = args[i];
                isSend = true;
                sendArgs = args.mid(i + 1);
                args = args.mid(0, i);
            } else if (args[i] == QLatin1String("send") || args[i] == QLatin1String("poll") ||
                       args[i] == QLatin1String("report")) {
                isPoll = args[i] == QLatin1String("poll");
                isReport = args[i] == QLatin1String("report");
                isSend = true;
                sendArgs = args.mid(i + 1);
                args = args.mid(0, i);
            }
            break;
        }
    }
    const Options o = parse(isSend ? args + QStringList{QStringLiteral("check"), QStringLiteral(".")} : args);
    // Before the application folder is opened: a name and a number need no
    // language file, and the answer comes even where the folder is unusable.
    if (o.version && !o.wrong) {
        std::printf("pilmora %s\n", PILMORA_VERSION);
        return kOk;
    }

    QStringList problems;
    app().appFolder =
        openAppFolder(o.home, qEnvironmentVariable("PILMORA_HOME"), QCoreApplication::applicationDirPath(), &problems);
    for (const QString& p : problems) out(stderr, p);
    LlenaProtocolos();
    ConsolePrompts console;
    installPrompts(&console);
    if (!CargaIdioma()) return kFault;

    if (o.help) {
        usage(stdout);
        return kOk;
    }
    if (!inspect.isEmpty() && !o.wrong)
        return inspect == QLatin1String("decode") ? runDecode(sendArgs) : runDiff(sendArgs);
    if (isSend && !o.wrong) return isReport ? runReport(sendArgs) : isPoll ? runPoll(sendArgs) : runSend(sendArgs);
    if (o.wrong) {
        out(stderr, Texto("PilmoraErrorUso") + o.error);
        usage(stderr);
        return kUsage;
    }

    const QFileInfo project(o.project);
    if (!project.isDir()) {
        out(stderr, Texto("ProyectoNoEncontrado") + o.project);
        return kFault;
    }
    const QString folder = QDir::toNativeSeparators(project.absoluteFilePath());
    const QString protocol = projectProtocol(folder);
    // The XIF import is for LON projects only.
    const int slot = slotDeProtocolo(protocol);
    // A damaged file would be read in part and the rest taken from defaults: the
    // project is repaired in its editor, never checked or compiled as it stands.
    const QVector<DamagedFile> damaged =
        findProjectDamage(folder, slot == kSlotLon || slot == kSlotMbs6 ? protocol : QString());
    if (!damaged.isEmpty()) {
        for (const DamagedFile& d : damaged) ConsolePrompts::printTo(stderr, describeDamage(d.path, d.damage));
        ConsolePrompts::printTo(stderr, Texto("DanyoNoSeUsa"));
        return kFault;
    }
    const bool xif = o.command == QLatin1String("import-xif");
    if (slot != kSlotLon && (slot != kSlotMbs6 || xif)) {
        out(stderr, Texto("ProtocoloNoSoportado") + (protocol.isEmpty() ? QStringLiteral("-") : protocol));
        return kFault;
    }
    if (xif) return importXif(folder, o);
    if (o.command == QLatin1String("export-csv") || o.command == QLatin1String("import-csv")) {
        return o.command == QLatin1String("export-csv") ? exportCsv(folder, o, slot) : importCsv(folder, o, slot);
    }
    const bool check = o.command == QLatin1String("check");
    if (slot == kSlotLon) return check ? checkLon(folder) : generateLon(folder, o.at, console);
    return check ? checkMbs6(folder) : generateMbs6(folder, o.at, console);
}
