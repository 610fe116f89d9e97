// Signal table: any file reads or is refused with one message; a table that
// reads is written from a grid and read again, giving the same rows (cells as
// the file keeps them: without surrounding blanks).
#include "FuzzSupport.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"

namespace {
QString trimBlanks(QString s) {
    while (s.startsWith(QLatin1Char(' '))) s.remove(0, 1);
    while (s.endsWith(QLatin1Char(' '))) s.chop(1);
    return s;
}
// The grid of the editor costs a cell per column and row; a table the editor
// could not hold is read but not written back.
constexpr qint64 kMaxCells = 200000;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    app().RutaProyecto = fuzz::env().path(QString());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const int slot = bytes.contains("-MBS6") ? kSlotMbs6 : kSlotLon;
    const QString version = QString::fromLatin1(kVersionTabla);
    fuzz::writeFile(fuzz::env().path(app().Protocolos.at(slot) + QStringLiteral(".dat")), bytes);

    TablaSenyales table;
    const bool read = Carga_Senyales(slot, version, table);
    FUZZ_CHECK(read || fuzz::env().prompts.shown().size() == 1, QStringLiteral("refused without one message"));
    if (read && qint64(table.columns()) * table.rows() <= kMaxCells) {
        SignalGrid grid(table.rows() + 1, table.columns() + 1);
        for (int r = 1; r <= table.rows(); ++r)
            for (int c = 1; c <= table.columns(); ++c) grid.setTextMatrix(r, c, table.cell(c, r));
        FUZZ_CHECK(Graba_Senyales(slot, version, grid, true), fuzz::env().prompts.texts().join(QLatin1Char('\n')));
        TablaSenyales again;
        FUZZ_CHECK(Carga_Senyales(slot, version, again), fuzz::env().prompts.texts().join(QLatin1Char('\n')));
        FUZZ_CHECK(again.columns() == table.columns() && again.rows() == table.rows(),
                   QStringLiteral("size %1x%2 became %3x%4")
                       .arg(table.columns()).arg(table.rows()).arg(again.columns()).arg(again.rows()));
        for (int r = 1; r <= table.rows(); ++r)
            for (int c = 1; c <= table.columns(); ++c)
                FUZZ_CHECK(again.cell(c, r) == trimBlanks(table.cell(c, r)),
                           QStringLiteral("row %1 col %2: '%3' became '%4'")
                               .arg(r).arg(c).arg(table.cell(c, r), again.cell(c, r)));
    }
    fuzz::endInput();
    return 0;
}
