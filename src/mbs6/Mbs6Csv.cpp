#include "Mbs6Csv.h"

#include <QHash>

#include "AnsiText.h"
#include "Mbs6Grid.h"
#include "ModPilmoraASCII.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
// The cells an import may change: those the grid lets the user type or choose.
const int kEditable[] = {Mbs6Col::Descripcion, Mbs6Col::Spontaneous, Mbs6Col::Activa};

bool isWholeNumber(const QString& t) {
    if (t.isEmpty() || t.size() > 6) return false;
    for (const QChar c : t)
        if (c.unicode() < '0' || c.unicode() > '9') return false;
    return true;
}
}  // namespace

QVector<QStringList> mbs6CsvRecords(const SignalGrid& grid) {
    QVector<QStringList> records;
    records.reserve(grid.Rows());
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList cells;
        cells.reserve(Mbs6Col::Count);
        for (int c = 0; c < Mbs6Col::Count; ++c) cells << grid.TextMatrix(r, c).trimmed();
        records << cells;
    }
    return records;
}

bool mbs6CsvExport(const QString& path, const SignalGrid& grid, QChar separator, QString* error) {
    return escribeFichero(path, csvEncode(mbs6CsvRecords(grid), separator), error);
}

bool mbs6CsvImport(const CsvRecords& in, SignalGrid& grid, QStringList* faults, int* rows) {
    faults->clear();
    auto fault = [&](int record, const QString& column, const QString& text) {
        if (faults->size() < kCsvMaxFaults) *faults << csvPlace(record, column) + text;
    };
    const QHash<QString, QStringList> lang =
        TextosEnTodosLosIdiomas({"Noo", "Disp", "Descripcion", "Activa", "0-Ana", "1-Dig", "0-No", "1-Si", "ColProp",
                                 "ColDirAscii", "ColEspontaneo"});
    // Captions a column may have in the file, in any language.
    QVector<QStringList> names(Mbs6Col::Count);
    QStringList captions;
    for (int c = 0; c < Mbs6Col::Count; ++c) names[c] << grid.TextMatrix(0, c), captions << grid.TextMatrix(0, c);
    names[Mbs6Col::Noo] << lang.value("Noo");
    names[Mbs6Col::Disp] << lang.value("Disp");
    names[Mbs6Col::Descripcion] << lang.value("Descripcion");
    names[Mbs6Col::Activa] << lang.value("Activa");
    names[Mbs6Col::Prop] << lang.value("ColProp");
    names[Mbs6Col::Add] << lang.value("ColDirAscii");
    names[Mbs6Col::Spontaneous] << lang.value("ColEspontaneo");
    // Choice columns: per item, every caption that means it (the current language's first).
    auto alike = [&](const QString& key) { return QStringList{Texto(key)} + lang.value(key) + QStringList{key}; };
    QHash<int, QVector<QStringList>> menus;
    menus[Mbs6Col::AD] = {alike("0-Ana"), alike("1-Dig")};
    menus[Mbs6Col::Activa] = {alike("0-No"), alike("1-Si")};
    for (const QString& s : spontaneousCaptions()) menus[Mbs6Col::Spontaneous] << QStringList{s};

    const QStringList& header = in.records.first();
    const int headerRow = in.numbers.value(0, 1);
    const QVector<int> target = csvColumns(
        header, names,
        {Mbs6Col::Disp, Mbs6Col::Prop, Mbs6Col::Descripcion, Mbs6Col::AD, Mbs6Col::Spontaneous, Mbs6Col::Activa},
        captions, [&](const QString& col, const QString& text) { fault(headerRow, col, text); });
    if (!csvSinFallos(faults)) return false;
    auto captionOf = [&](int col) { return header.value(target.indexOf(col)); };

    // The fixed rows, as the editor builds them, by "unit-code".
    SignalGrid fixed;
    fixed.setRedraw(false);
    QVector<InfoColumna> info;
    Carga_CabecerasMbs6(fixed, info);
    const QHash<QString, int> rowOf = CreaFilasMbs6(fixed);

    QVector<QPair<int, QVector<QString>>> changes;  // grid row, its new cells
    QHash<int, int> recordOfRow;
    for (int i = 1; i < in.records.size(); ++i) {
        const QStringList& rec = in.records[i];
        const int row = in.numbers.value(i, i + 1);
        if (csvBlankRecord(rec)) continue;
        QVector<QString> cells(Mbs6Col::Count);
        bool cellsRight = true;
        // The project's own data come back as they are: a cell equal to its row's current one is never refused.
        const auto current = rowOf.constFind(mbs6RowKey(rec.value(target.indexOf(Mbs6Col::Disp)).trimmed(),
                                                        rec.value(target.indexOf(Mbs6Col::Prop)).trimmed()));
        for (int f = 0; f < rec.size(); ++f) {
            const QString caption = f < header.size() ? header[f] : QString::number(f + 1);
            const int col = target.value(f, -1);
            const QString t = rec[f].trimmed();
            if (col >= 0 && current != rowOf.constEnd() && t == grid.TextMatrix(*current, col).trimmed()) {
                cells[col] = t;
                continue;
            }
            QString wrong = col < 0 && !t.isEmpty() ? Texto("CsvCeldaSinColumna") + rec[f] : csvCharFault(rec[f]);
            const auto menu = menus.constFind(col);
            if (wrong.isEmpty() && col >= 0) {
                cells[col] = t;
                bool exact = false;
                int item = menu == menus.constEnd() || t.isEmpty() ? 0 : csvMenuItem(*menu, t, &exact);
                // A code alone or before another caption is that choice, as the save takes it.
                if (item < 0 && esCeldaDeOpcion(t)) item = t[0].digitValue();
                if (item < 0) wrong = Texto("CsvNoEnLista") + t;
                // In another letter case or language: the caption the grid shows.
                if (item >= 0 && menu != menus.constEnd() && !t.isEmpty() && !exact)
                    cells[col] = menu->at(item).value(0);
            }
            if (!wrong.isEmpty()) fault(row, caption, wrong), cellsRight = false;
        }
        const QString unit = cells[Mbs6Col::Disp], code = cells[Mbs6Col::Prop];
        if (!isWholeNumber(unit) || !isWholeNumber(code)) {
            const bool unitRight = isWholeNumber(unit);
            fault(row, captionOf(unitRight ? Mbs6Col::Prop : Mbs6Col::Disp),
                  Texto("CsvNoNumero") + (unitRight ? code : unit));
            continue;
        }
        const auto it = rowOf.constFind(mbs6RowKey(unit, code));
        const QString key = unit + QLatin1Char('-') + code;
        // The type follows from the property: a file that says otherwise is wrong, not obeyed.
        const QString fixedType = it == rowOf.constEnd() ? QString() : fixed.TextMatrix(*it, Mbs6Col::AD);
        if (it == rowOf.constEnd()) {
            fault(row, captionOf(Mbs6Col::Prop), Texto("CsvClaveNoOfrecida") + key);
        } else if (cellsRight && !cells[Mbs6Col::AD].isEmpty() && cells[Mbs6Col::AD].front() != fixedType.front()) {
            // Compared by the choice's code: any language's caption of the right type is right.
            fault(row, captionOf(Mbs6Col::AD), Texto("CsvTipoFijo") + fixedType);
        } else if (recordOfRow.contains(*it)) {
            fault(row, captionOf(Mbs6Col::Prop), Texto("CsvFilaRepetida") + key);
        } else if (cellsRight) {
            recordOfRow.insert(*it, row);
            changes.append({*it, cells});
        }
    }
    if (!csvSinFallos(faults)) return false;

    // The rows with their new cells, then the save's point check: every active
    // row that fails is listed (left out of the next round so the rest are checked).
    SignalGrid probe;
    probe.setRedraw(false);
    probe.setCols(grid.Cols());
    probe.setRows(grid.Rows());
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c) probe.setTextMatrix(r, c, grid.TextMatrix(r, c));
    for (const auto& ch : changes)
        for (int c : kEditable) probe.setTextMatrix(ch.first, c, ch.second[c]);
    {
        CsvTakeDown takeDown;
        while (faults->size() < kCsvMaxFaults && !Valida_PuntosMbs6(probe)) {
            const int r = probe.Row();
            *faults << csvPlace(recordOfRow.value(r), captionOf(probe.Col())) + takeDown.first();
            takeDown.texts.clear();
            probe.setTextMatrix(r, Mbs6Col::Activa, QString());
        }
    }
    if (!csvSinFallos(faults)) return false;

    {
        RedrawOff off(grid);
        for (const auto& ch : changes)
            for (int c : kEditable) grid.setTextMatrix(ch.first, c, ch.second[c]);
    }
    if (rows) *rows = int(changes.size());
    return true;
}
