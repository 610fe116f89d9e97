#include "LonProject.h"

#include "AnsiText.h"
#include "AppGlobals.h"
#include "FileDamage.h"
#include "LonGrid.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

bool loadLonProject(const QString& folder, LonConfig& cfg, SignalGrid& grid, QVector<InfoColumna>& info) {
    auto& a = app();
    a.RutaProyecto = folder;
    a.ProtProyecto = a.Protocolos.value(kSlotLon, QStringLiteral("LON"));
    a.NombreIni = a.ProtProyecto;
    QVector<DamagedFile> damaged = findProjectDamage(folder, a.ProtProyecto, false);
    beginDamagedLoad(damaged);
    {
        IniReadBatch once;  // hundreds of keys, one file
        cfg.Carga_ConfLon();
    }
    RedrawOff off(grid);
    Carga_CabecerasLon(grid, info, cfg);
    const QHash<QString, int> builtIn = CreaFilasInternas(grid, cfg);
    TablaSenyales table;
    FileDamage tableDamage;
    const bool read = Carga_Senyales(kSlotLon, QString::fromLatin1(kVersionTabla), table, &tableDamage);
    if (tableDamage) damaged.append({rutaTablaSenyales(kSlotLon), tableDamage});
    if (read) LlenaGridLon(grid, builtIn, table);
    off.end();
    cfg.gridChanged = false;
    cfg.damaged = !damaged.isEmpty();
    avisaDanyosProyecto(damaged);
    return read;
}

bool saveLonProject(LonConfig& cfg, const SignalGrid& grid) {
    const bool ok = GrabaProyecto([&] { cfg.Graba_ConfLon(); }, kSlotLon, grid);
    if (ok) cfg.connectionChanged = cfg.gridChanged = false;
    return ok;
}
