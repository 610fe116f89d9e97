// Device interface files: any file is listed against the real SNVT catalogue
// with bounded rows and sane progress; the listed NVs are imported into a LON
// grid and the grid written as the signal table and read again: the same rows.
// The first byte holds the options (node object NVs, description prefix, devices).
#include <QDir>

#include "FuzzSupport.h"
#include "LonConfig.h"
#include "LonGrid.h"
#include "ModSNVT.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "XifImport.h"

namespace {
QString trimBlanks(QString s) {
    while (s.startsWith(QLatin1Char(' '))) s.remove(0, 1);
    while (s.endsWith(QLatin1Char(' '))) s.chop(1);
    return s;
}
constexpr int kMaxFilas = 2000;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    app().RutaPlantillas = fuzz::env().path(QStringLiteral("Templates"));
    app().RutaProyecto = fuzz::env().path(QStringLiteral("Project"));
    QDir().mkpath(app().RutaPlantillas);
    QDir().mkpath(app().RutaProyecto);
    QFile::copy(QStringLiteral(PILMORA_SOURCE_DIR "/data/TemplatesASCII/LON.snvt"),
                app().RutaPlantillas + QStringLiteral("/LON.snvt"));
    if (!catalogoSNVT().CargaSNVT() || catalogoSNVT().count() == 0) fuzz::fail("catalogue", QString());
    fuzz::env().prompts.clear();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int flags = data[0];
    const QString path = fuzz::env().path(QStringLiteral("device.xif"));
    fuzz::writeFile(path, fuzz::bytesOf(data + 1, size - 1));

    XifLectura options;
    options.nodeObject = flags & 1;
    options.maxFilas = kMaxFilas;
    qint64 lastDone = -1, total = -1;
    options.progreso = [&](qint64 done, qint64 all) {
        FUZZ_CHECK(done >= lastDone && done <= all && (total < 0 || all == total),
                   QStringLiteral("progress %1 of %2 after %3").arg(done).arg(all).arg(lastDone));
        lastDone = done;
        total = all;
        return true;
    };
    QVector<XifFila> list;
    FUZZ_CHECK(leeFicheroXif(path, catalogoSNVT(), options, list), path);
    FUZZ_CHECK(!list.isEmpty() && list.size() <= kMaxFilas + 1, QString::number(list.size()));

    // Import for one or two devices, then the table round trip.
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    Carga_CabecerasLon(grid, info, cfg);
    CreaFilasInternas(grid, cfg);
    const int before = grid.Rows(), devices = 1 + ((flags >> 2) & 1);
    int importable = 0;
    for (const XifFila& f : list) importable += f.importable() ? 1 : 0;
    const int added = Importar_Puntos(grid, catalogoSNVT(), list, QVector<bool>(list.size(), true), 1, devices,
                                      flags & 2);
    FUZZ_CHECK(added == importable * devices && grid.Rows() == before + added,
               QStringLiteral("%1 added, %2 importable").arg(added).arg(importable));
    const QString version = QString::fromLatin1(kVersionTabla);
    FUZZ_CHECK(Graba_Senyales(kSlotLon, version, grid, true), fuzz::env().prompts.texts().join(QLatin1Char('\n')));
    TablaSenyales table;
    FUZZ_CHECK(Carga_Senyales(kSlotLon, version, table), fuzz::env().prompts.texts().join(QLatin1Char('\n')));
    FUZZ_CHECK(table.rows() == grid.Rows() - 1, QStringLiteral("%1 rows read").arg(table.rows()));
    for (int r = 1; r < grid.Rows(); ++r)
        for (int c = 1; c < grid.Cols(); ++c)
            FUZZ_CHECK(table.cell(c, r) == trimBlanks(textoCeldaSeguro(grid.TextMatrix(r, c))),
                       QStringLiteral("row %1 col %2: '%3' read '%4'").arg(r).arg(c).arg(grid.TextMatrix(r, c),
                                                                                          table.cell(c, r)));
    fuzz::endInput();
    return 0;
}
