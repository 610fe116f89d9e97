#include "LonCsv.h"

#include <QHash>
#include <QSet>

#include "AnsiText.h"
#include "LonChecks.h"
#include "LonConfig.h"
#include "LonGrid.h"
#include "ModPilmoraASCII.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
// Column of the built-in mark, after the grid's own columns.
constexpr int kColMark = LonCol::Count;

// Language keys whose texts are captions or menu items the file may hold in any language.
const QStringList& languageKeys() {
    static const QStringList k{"Noo",       "Disp",        "Descripcion", "Activa",      "CsvInterna",
                               "0-Ana",     "1-Dig",       "0-No",        "1-Si",        "ColSnvtNombre",
                               "ColOffset", "ColTipoDato", "ColFiltro",   "ColDirAscii", "ColEspontaneo"};
    return k;
}

enum class Kind { Ignored, Number, Text, DataType, Menu, Mark };

struct ColumnRule {
    Kind kind = Kind::Text;
    int min = 0, max = 0;            // Number
    QStringList menu;                // Menu: the captions as the grid holds them
    QVector<QStringList> menuAlike;  // Menu: per item, every caption that means it (any language)
};

QVector<ColumnRule> rulesFor(const LonConfig& cfg, const QHash<QString, QStringList>& lang) {
    QVector<ColumnRule> rules(LonCol::Count + 1);
    auto number = [&](int col, int min, int max) {
        rules[col].kind = Kind::Number;
        rules[col].min = min;
        rules[col].max = max;
    };
    auto menu = [&](int col, const QStringList& items, const QStringList& keys = {}) {
        rules[col].kind = Kind::Menu;
        rules[col].menu = items;
        for (int i = 0; i < items.size(); ++i)
            // Files hold the caption of the language they were saved in, or the key itself.
            rules[col].menuAlike << (keys.isEmpty() ? QStringList{items[i]}
                                                    : lang.value(keys[i]) + QStringList{items[i], keys[i]});
    };
    rules[LonCol::Noo].kind = Kind::Ignored;
    number(LonCol::Disp, 0, cfg.maxDevices());
    number(LonCol::Snvt, kSnvtGatewayError, 32767);
    number(LonCol::Idx, 0, 32767);
    number(LonCol::Offset, 0, 32767);
    rules[LonCol::DataType].kind = Kind::DataType;
    for (int c : {int(LonCol::A), int(LonCol::B), int(LonCol::C), int(LonCol::Filter)}) number(c, -32768, 32767);
    menu(LonCol::NvAccess, lonAccessCaptions());
    number(LonCol::Add, 0, cfg.maxAddress());
    menu(LonCol::Direction, lonAccessCaptions());
    menu(LonCol::AD, {Texto("0-Ana"), Texto("1-Dig")}, {"0-Ana", "1-Dig"});
    menu(LonCol::Spontaneous, lonSpontaneousCaptions());
    menu(LonCol::Activa, {Texto("0-No"), Texto("1-Si")}, {"0-No", "1-Si"});
    rules[kColMark].kind = Kind::Mark;
    return rules;
}

// Every caption a column may have in the file: the grid's own and, for
// captions from the language file, the same key in every language.
QVector<QStringList> captionsFor(const SignalGrid& grid, const QHash<QString, QStringList>& lang) {
    QVector<QStringList> names(LonCol::Count + 1);
    for (int c = 0; c < LonCol::Count; ++c) names[c] << grid.TextMatrix(0, c);
    names[kColMark] << Texto("CsvInterna");
    const QHash<int, QString> keyed{{LonCol::Noo, "Noo"},
                                    {LonCol::Disp, "Disp"},
                                    {LonCol::Descripcion, "Descripcion"},
                                    {LonCol::Activa, "Activa"},
                                    {LonCol::SnvtName, "ColSnvtNombre"},
                                    {LonCol::Offset, "ColOffset"},
                                    {LonCol::DataType, "ColTipoDato"},
                                    {LonCol::Filter, "ColFiltro"},
                                    {LonCol::Add, "ColDirAscii"},
                                    {LonCol::Spontaneous, "ColEspontaneo"},
                                    {kColMark, "CsvInterna"}};
    for (auto it = keyed.constBegin(); it != keyed.constEnd(); ++it) names[it.key()] << lang.value(it.value());
    return names;
}

// A row the configuration builds itself (the gateway's error point, a device's), from its device and SNVT cells.
bool isBuiltIn(const QString& devCell, const QString& snvtCell, const LonConfig& cfg) {
    const double snvt = lonCellValue(snvtCell), dev = lonCellValue(devCell);
    if (snvt == kSnvtGatewayError) return dev == 0;
    return snvt == kSnvtDeviceError && dev >= 1 && dev <= qMax(cfg.NDevs, 0);
}

bool isWholeNumber(const QString& t) {
    const int first = t.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (t.size() == first || t.size() - first > 6) return false;
    for (int i = first; i < t.size(); ++i)
        if (t[i].unicode() < '0' || t[i].unicode() > '9') return false;
    return true;
}

}  // namespace

QVector<QStringList> lonCsvRecords(const SignalGrid& grid, const LonConfig& cfg) {
    QVector<QStringList> records;
    records.reserve(grid.Rows());
    QStringList header;
    for (int c = 0; c < LonCol::Count; ++c) header << grid.TextMatrix(0, c);
    header << Texto("CsvInterna");
    records << header;
    for (int r = 1; r < grid.Rows(); ++r) {
        QStringList cells;
        cells.reserve(LonCol::Count + 1);
        for (int c = 0; c < LonCol::Count; ++c) cells << grid.TextMatrix(r, c).trimmed();
        cells << (isBuiltIn(grid.TextMatrix(r, LonCol::Disp), grid.TextMatrix(r, LonCol::Snvt), cfg)
                      ? QStringLiteral("1")
                      : QString());
        records << cells;
    }
    return records;
}

bool lonCsvExport(const QString& path, const SignalGrid& grid, const LonConfig& cfg, QChar separator, QString* error) {
    return escribeFichero(path, csvEncode(lonCsvRecords(grid, cfg), separator), error);
}

bool lonCsvImport(const CsvRecords& in, const LonConfig& cfg, SignalGrid& grid, QStringList* faults, int* rows) {
    faults->clear();
    auto fault = [&](int record, const QString& column, const QString& text) {
        if (faults->size() < kCsvMaxFaults) *faults << csvPlace(record, column) + text;
    };
    const QHash<QString, QStringList> lang = TextosEnTodosLosIdiomas(languageKeys());
    const QVector<ColumnRule> rules = rulesFor(cfg, lang);
    const QVector<QStringList> names = captionsFor(grid, lang);

    // Caption row: which grid column each field of the file fills.
    const QStringList& header = in.records.first();
    const int headerRow = in.numbers.value(0, 1);
    QStringList captions;
    for (int c = 0; c < LonCol::Count; ++c) captions << grid.TextMatrix(0, c);
    QVector<int> required;
    for (int c = 1; c < LonCol::Count; ++c) required << c;
    const QVector<int> target =
        csvColumns(header, names, required, captions,
                   [&](const QString& col, const QString& text) { fault(headerRow, col, text); });
    if (!csvSinFallos(faults)) return false;
    auto fieldOf = [&](int col) { return int(target.indexOf(col)); };

    // Every cell, as typing it into the grid would allow.
    TablaSenyales table;
    table.reset(LonCol::Count - 1);
    QVector<int> recordOfTableRow(1, 0);
    QSet<QString> builtInSeen;
    for (int i = 1; i < in.records.size(); ++i) {
        const QStringList& rec = in.records[i];
        const int row = in.numbers.value(i, i + 1);
        if (csvBlankRecord(rec)) continue;
        QVector<QString> cells(LonCol::Count + 1);
        for (int f = 0; f < rec.size(); ++f) {
            const QString caption = f < header.size() ? header[f] : QString::number(f + 1);
            if (f >= target.size() || target[f] < 0) {
                if (!rec[f].trimmed().isEmpty()) fault(row, caption, Texto("CsvCeldaSinColumna") + rec[f]);
                continue;
            }
            const int col = target[f];
            const QString t = rec[f].trimmed();
            // The project's own data come back as they are: a cell equal to the row's
            // current one (rows in the order export wrote them) is never refused.
            if (col < LonCol::Count && i < grid.Rows() && t == grid.TextMatrix(i, col).trimmed()) {
                cells[col] = t;
                continue;
            }
            const QString charFault = csvCharFault(rec[f]);
            if (!charFault.isEmpty()) {
                fault(row, caption, charFault);
                continue;
            }
            const ColumnRule& rule = rules[col];
            QString value = t;
            switch (rule.kind) {
                case Kind::Ignored:
                case Kind::Text:
                    break;
                case Kind::Number:
                    if (t.isEmpty()) break;
                    if (!isWholeNumber(t)) {
                        fault(row, caption, Texto("CsvNoNumero") + t);
                    } else if (t.toInt() < rule.min || t.toInt() > rule.max) {
                        fault(row, caption,
                              Texto("CsvFueraDeRango") + QString::number(rule.min) + QStringLiteral("..") +
                                  QString::number(rule.max) + QStringLiteral(": ") + t);
                    }
                    break;
                case Kind::DataType: {
                    const int code = lonDataTypeCaptions().indexOf(t);
                    if (t.isEmpty() || code >= 0) break;
                    if (isWholeNumber(t) && t.toInt() >= 0 && t.toInt() < lonDataTypeCaptions().size())
                        value = lonDataTypeCaptions()[t.toInt()];
                    else
                        fault(row, caption, Texto("CsvNoEnLista") + t);
                    break;
                }
                case Kind::Menu: {
                    if (t.isEmpty()) break;
                    // As written it stays (a round trip keeps the language it was saved in);
                    // in other letter case it becomes the caption of the current language.
                    bool exact = false;
                    const int item = csvMenuItem(rule.menuAlike, t, &exact);
                    // A code alone or before another caption is that choice, as the save takes it.
                    if (item < 0 && kLonChoiceCols.contains(col) && esCeldaDeOpcion(t))
                        value = rule.menu[t[0].digitValue()];
                    else if (item < 0)
                        fault(row, caption, Texto("CsvNoEnLista") + t);
                    else if (!exact)
                        value = rule.menu[item];
                    break;
                }
                case Kind::Mark:
                    if (!t.isEmpty() && t != QLatin1String("0") && t != QLatin1String("1"))
                        fault(row, caption, Texto("CsvNoEnLista") + t);
                    break;
            }
            cells[col] = value;
        }
        // Built-in rows: those the configuration has, each once; a mark on any other row is a fault.
        const bool builtIn = isBuiltIn(cells[LonCol::Disp], cells[LonCol::Snvt], cfg);
        const QString markCaption = fieldOf(kColMark) >= 0 ? header[fieldOf(kColMark)] : Texto("CsvInterna");
        if (cells[kColMark] == QLatin1String("1") && !builtIn)
            fault(row, markCaption, Texto("CsvFilaInternaDesconocida"));
        if (builtIn) {
            const QString key = lonRowKey(cells[LonCol::Disp], cells[LonCol::Snvt]);
            if (builtInSeen.contains(key)) fault(row, markCaption, Texto("CsvFilaInternaRepetida"));
            builtInSeen.insert(key);
        }
        const int r = table.addRow();
        for (int c = 1; c < LonCol::Count; ++c) table.setCell(c, r, cells[c]);
        recordOfTableRow << row;
    }
    if (!csvSinFallos(faults)) return false;

    // The rows as loading them would place them, then the save's point checks:
    // every active row that fails is listed (it is left out of the next round
    // so that the rows after it are checked too).
    SignalGrid fresh;
    fresh.setRedraw(false);
    QVector<InfoColumna> info;
    Carga_CabecerasLon(fresh, info, cfg);
    const QHash<QString, int> builtInRows = CreaFilasInternas(fresh, cfg);
    LlenaGridLon(fresh, builtInRows, table);
    {
        SignalGrid probe;
        probe.setRedraw(false);
        probe.setCols(fresh.Cols());
        probe.setRows(fresh.Rows());
        for (int r = 0; r < fresh.Rows(); ++r)
            for (int c = 0; c < fresh.Cols(); ++c) probe.setTextMatrix(r, c, fresh.TextMatrix(r, c));
        CsvTakeDown takeDown;
        while (faults->size() < kCsvMaxFaults && !Valida_Puntos(cfg, probe)) {
            const int r = probe.Row(), c = probe.Col();
            const int tableRow = int(lonCellValue(probe.TextMatrix(r, LonCol::Noo)));
            *faults << csvPlace(recordOfTableRow.value(tableRow), header.value(qMax(fieldOf(c), 0))) + takeDown.first();
            takeDown.texts.clear();
            probe.setTextMatrix(r, LonCol::Activa, QString());
        }
    }
    if (!csvSinFallos(faults)) return false;
    // Directions as the save leaves them.
    Valida_Puntos(cfg, fresh);

    RedrawOff off(grid);
    grid.setRows(1);
    grid.setRows(fresh.Rows());
    for (int r = 1; r < fresh.Rows(); ++r)
        for (int c = 0; c < LonCol::Count; ++c) grid.setTextMatrix(r, c, fresh.TextMatrix(r, c));
    grid.select(grid.Rows() > 1 ? 1 : 0, 1, grid.Rows() > 1 ? 1 : 0, 1);
    off.end();
    if (rows) *rows = table.rows();
    return true;
}
