// SNVT catalogue: any LON.snvt loads or is refused with its message, with few
// messages, and both indexes lead back to entries of the name and number asked.
#include "FuzzSupport.h"
#include "ModSNVT.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    app().RutaPlantillas = fuzz::env().path(QStringLiteral("Templates"));
    QDir().mkpath(app().RutaPlantillas);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeFile(app().RutaPlantillas + QStringLiteral("/LON.snvt"), fuzz::bytesOf(data, size));
    ModSNVT catalogue;
    const bool loaded = catalogue.CargaSNVT();
    FUZZ_CHECK(loaded || !fuzz::env().prompts.shown().isEmpty(), QStringLiteral("refused without a message"));
    FUZZ_CHECK(catalogue.count() <= ModSNVT::kMaxEntradas, QString::number(catalogue.count()));
    for (int i = 1; i <= catalogue.count(); ++i) {
        const SnvtRecord& e = catalogue.entry(i);
        const int byName = catalogue.indiceNombre(e.nombre);
        FUZZ_CHECK(byName >= 1 && byName <= catalogue.count() &&
                       catalogue.entry(byName).nombre.compare(e.nombre, Qt::CaseInsensitive) == 0,
                   QStringLiteral("name %1 -> %2").arg(e.nombre).arg(byName));
        if (e.numero <= 0) continue;  // only positive numbers are indexed
        const int byNumber = catalogue.indiceNumero(e.numero);
        FUZZ_CHECK(byNumber >= 1 && byNumber <= catalogue.count() && catalogue.entry(byNumber).numero == e.numero,
                   QStringLiteral("number %1 -> %2").arg(e.numero).arg(byNumber));
    }
    fuzz::endInput();
    return 0;
}
