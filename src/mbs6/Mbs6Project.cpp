#include "Mbs6Project.h"

#include "AppGlobals.h"
#include "FileDamage.h"
#include "Mbs6Grid.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "SignalGrid.h"

bool loadMbs6Project(const QString& folder, Mbs6Config& cfg, SignalGrid& grid, QVector<InfoColumna>& info) {
    auto& a = app();
    a.RutaProyecto = folder;
    a.ProtProyecto = a.Protocolos.value(kSlotMbs6, QStringLiteral("MBS6"));
    a.NombreIni = a.ProtProyecto;
    QVector<DamagedFile> damaged = findProjectDamage(folder, a.ProtProyecto, false);
    beginDamagedLoad(damaged);
    {
        IniReadBatch once;  // every unit's keys, one file
        cfg.Carga_ConfMbs6();
    }
    RedrawOff off(grid);
    Carga_CabecerasMbs6(grid, info);
    const QHash<QString, int> rows = CreaFilasMbs6(grid);
    TablaSenyales table;
    FileDamage tableDamage;
    const bool read = Carga_Senyales(kSlotMbs6, QString::fromLatin1(kVersionTabla), table, &tableDamage);
    if (tableDamage) damaged.append({rutaTablaSenyales(kSlotMbs6), tableDamage});
    if (read) LlenaGridMbs6(grid, rows, table);
    off.end();
    cfg.gridChanged = false;
    cfg.damaged = !damaged.isEmpty();
    avisaDanyosProyecto(damaged);
    return read;
}
