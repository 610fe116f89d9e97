#include "ModPilmoraASCII.h"

#include <QSet>
#include <QVector>

#include "CellEditor.h"
#include "ModulConfASCII.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
QString numero(qint64 n) { return QString::number(n); }
qint64 valorFila(const SignalGrid& g, int row) { return qint64(Val(g.cell(row, 0))); }
}  // namespace

void Prepara_Editor(SignalGrid& /*grid*/, CellEditor& editor) {
    editor.matchGridLook();
    editor.setEditorText(QStringLiteral(" "));
    editor.editRow = editor.editCol = -1;
    editor.setEditorVisible(false);
}

void Inserta_Fila(SignalGrid& grid, bool& changed) {
    changed = true;
    RedrawOff off(grid);
    if (grid.dataRows() == 0) {
        grid.insertRows(1, 1);
        grid.setTextMatrix(1, 0, QStringLiteral("1"));
        grid.select(1, 1, 1, 1);
        return;
    }
    const int cur = grid.Row();
    const int row = cur + 1;
    grid.insertRows(row, 1);
    grid.setTextMatrix(row, 0, numero(valorFila(grid, cur) + 1));
    for (int r = row + 1; r < grid.Rows(); ++r) grid.setTextMatrix(r, 0, numero(valorFila(grid, r) + 1));
    grid.select(row, 1, row, 1);
}

void Elimina_Filas(SignalGrid& grid, CellEditor& editor, bool& changed) {
    if (grid.dataRows() == 0) return;
    editor.editRow = editor.editCol = -1;
    editor.setEditorVisible(false);
    const int top = qMax(1, grid.selTop());
    const int bottom = grid.selBottom();
    if (bottom < top) return;
    const int col = grid.Col();
    RedrawOff off(grid);
    const int count = bottom - top + 1;
    if (count >= grid.dataRows()) {
        // The grid always keeps one data row: the last one left is emptied.
        grid.removeRows(top + 1, count - 1);
        for (int c = 0; c < grid.Cols(); ++c) grid.setTextMatrix(top, c, QString());
    } else {
        grid.removeRows(top, count);
    }
    grid.renumber(top);
    const int cur = qMin(top, grid.lastRow());
    grid.select(cur, col, cur, col);
    changed = true;
}

void Mueve_Filas(SignalGrid& grid, bool& changed, bool up) {
    if (grid.Row() < 1) return;
    const int top = qMax(1, grid.selTop()), bottom = grid.selBottom();
    if (bottom < top) return;
    if (up ? top <= 1 : bottom >= grid.lastRow()) return;
    const int first = up ? top - 1 : top, last = up ? bottom : bottom + 1;

    // Only the cells of columns 1..last travel; the row number, height and row
    // data of each place stay where they are.
    const int n = last - first + 1;
    QVector<QString> numbers(n);
    QVector<int> heights(n);
    QVector<qint32> data(n);
    for (int i = 0; i < n; ++i) {
        numbers[i] = grid.TextMatrix(first + i, 0);
        heights[i] = grid.RowHeight(first + i);
        data[i] = grid.RowData(first + i);
    }
    const int row = grid.Row(), col = grid.Col(), rowSel = grid.RowSel(), colSel = grid.ColSel();
    const int step = up ? -1 : 1;
    {
        RedrawOff off(grid);
        if (up)
            grid.moveRows(top - 1, 1, bottom);
        else
            grid.moveRows(bottom + 1, 1, top);
        for (int i = 0; i < n; ++i) {
            grid.setTextMatrix(first + i, 0, numbers[i]);
            grid.setRowHeight(first + i, heights[i]);
            grid.setRowData(first + i, data[i]);
        }
        grid.select(row + step, col, rowSel + step, colSel);
    }
    changed = true;
}

bool Copia_Fila(const SignalGrid& grid, QString& buffer) {
    const int row = grid.Row();
    if (row < 1) return false;
    QString b;
    for (int c = 1; c < grid.Cols(); ++c) {
        b += grid.cell(row, c);
        b += QLatin1Char('\t');
    }
    buffer = b;
    return true;
}

bool Corta_Fila(SignalGrid& grid, QString& buffer, bool& changed) {
    if (!Copia_Fila(grid, buffer)) return false;
    RedrawOff off(grid);
    for (int c = 1; c < grid.Cols(); ++c) grid.setTextMatrix(grid.Row(), c, QString());
    changed = true;
    return true;
}

void Pega_Fila(SignalGrid& grid, const QString& buffer, bool& changed) {
    const int row = grid.Row();
    if (row < 1) return;
    const QStringList pieces = buffer.split(QLatin1Char('\t'));
    RedrawOff off(grid);
    for (int i = 0; i < pieces.size() && i + 1 < grid.Cols(); ++i)
        grid.setTextMatrix(row, i + 1, textoCeldaSeguro(pieces.at(i)));
    changed = true;
}

void Rellena_Columna(SignalGrid& grid, int col, const QString& text, bool& changed) {
    if (grid.Row() < 1) return;
    changed = true;
    if (col < 0 || col >= grid.Cols()) return;
    const QString safe = textoCeldaSeguro(text);
    RedrawOff off(grid);
    for (int r = qMax(1, grid.selTop()); r <= grid.selBottom(); ++r)
        if (grid.RowHeight(r) != 0) grid.setTextMatrix(r, col, safe);
}

void Auto_Enumera(SignalGrid& grid, int col, const QString& prompt, bool& changed, qint32 maximum) {
    if (grid.Row() < 1 || col < 0 || col >= grid.Cols()) return;
    const QString title = Texto("AutoEnumerar");
    const QString start = PideDato(title, prompt, grid.TextMatrix(grid.Row(), col));
    if (start.isEmpty()) return;
    const QString step = PideDato(title, Texto("EntrarInc"), QStringLiteral("1"));
    if (step.isEmpty()) return;
    qint64 value = CInt(Val(Normaliza_Decimal(start)));
    const qint64 inc = CInt(Val(Normaliza_Decimal(step)));
    changed = true;
    RedrawOff off(grid);
    for (int r = qMax(1, grid.selTop()); r <= grid.selBottom(); ++r) {
        if (grid.RowHeight(r) == 0) continue;
        grid.setTextMatrix(r, col, numero(value > maximum ? 0 : value));
        value += inc;
    }
}

void Limpia_FilasVacias(SignalGrid& grid) {
    if (grid.dataRows() < 2) return;
    QVector<bool> remove(grid.Rows(), false);
    for (int r = 1; r < grid.Rows(); ++r) {
        bool empty = true;
        // Blanks only, as the file writer trims them.
        for (int c = 1; c < grid.Cols() && empty; ++c)
            for (const QChar ch : grid.cell(r, c)) empty = empty && ch == QLatin1Char(' ');
        remove[r] = empty;
    }
    RedrawOff off(grid);
    grid.removeMarkedRows(remove);
    grid.renumber(1);
}

bool esCeldaDeOpcion(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return true;
    const bool code = t[0] == QLatin1Char('0') || t[0] == QLatin1Char('1');
    return code && (t.size() == 1 || t[1] == QLatin1Char('-'));
}

bool Valida_Opciones(SignalGrid& grid, const QVector<int>& cols) {
    for (int r = 1; r < grid.Rows(); ++r)
        for (int c : cols) {
            // Anything else would be saved, read as 0 by the generator and refused by a spreadsheet import.
            if (esCeldaDeOpcion(grid.TextMatrix(r, c))) continue;
            Aviso(Texto("CeldaNoEsOpcion") + grid.TextMatrix(r, c));
            grid.select(r, c, r, c);
            return false;
        }
    return true;
}

bool Valida_Direcciones(SignalGrid& grid, int colActiva, int colAdd, int maxAddress,
                        const std::function<int(int row, QString& message)>& rowCheck) {
    prompts().setBusy(true);
    QSet<qint64> used;
    for (int r = 1; r < grid.Rows(); ++r) {
        if (ValCelda(grid.cell(r, colActiva)) <= 0) continue;
        QString message;
        int col = rowCheck ? rowCheck(r, message) : 0;
        if (col == 0) {
            const qint64 addr = RedondeaPar(ValCelda(grid.cell(r, colAdd)));
            if (addr < 1 || addr > maxAddress) {
                message = Texto("AddressDebeSerNumeroEntre") + QStringLiteral(" 1") + Texto("y") + numero(maxAddress);
                col = colAdd;
            } else if (used.contains(addr)) {
                message = grid.TextMatrix(0, colAdd) + QLatin1Char(':') + numero(addr) + Texto("repetida");
                col = colAdd;
            } else {
                used.insert(addr);
            }
        }
        if (col != 0) {
            prompts().setBusy(false);
            Aviso(message);
            grid.select(r, col, r, col);
            return false;
        }
    }
    prompts().setBusy(false);
    return true;
}
