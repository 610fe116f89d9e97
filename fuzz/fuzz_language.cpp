// Language file loader: any file loads or is refused with its message, every
// key it keeps has a text, and a bad file shows a few messages, not one per line.
// The first byte picks the saved "Language" index (0..3, or beyond the columns).
#include "FuzzSupport.h"
#include "ModulINI.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static int lastIndex = -1;
    const int index = int(data[0] % 8) - 1;  // -1 .. 6
    if (index != lastIndex) {
        iniWrite(rutaIniAplicacion(), QStringLiteral("Configuracion"), QStringLiteral("Language"),
                 QString::number(index));
        lastIndex = index;
    }
    fuzz::writeFile(fuzz::env().path(QStringLiteral("PilmoraASCII.LNG")), fuzz::bytesOf(data + 1, size - 1));

    const bool loaded = CargaIdioma();
    const AppGlobals& a = app();
    FUZZ_CHECK(!loaded || !a.Idiomas.isEmpty(), QStringLiteral("loaded without a language"));
    FUZZ_CHECK(loaded || !fuzz::env().prompts.shown().isEmpty(), QStringLiteral("refused without a message"));
    for (auto it = a.Textos.constBegin(); it != a.Textos.constEnd(); ++it) {
        FUZZ_CHECK(!it.value().isEmpty(), it.key());
        FUZZ_CHECK(it.key() == it.key().toLower(), it.key());
        FUZZ_CHECK(HayTexto(it.key()), it.key());
    }
    // A missing key: one message and "???".
    FUZZ_CHECK(HayTexto(QStringLiteral("\x01none")) || Texto(QStringLiteral("\x01none")) == QStringLiteral("???"),
               QString());
    fuzz::endInput();
    return 0;
}
