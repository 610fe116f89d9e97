// Placeholder until the language loader lands.
#include "mIdioma.h"

#include "AppGlobals.h"

bool CargaIdioma() { return false; }
QString Texto(const QString& key) { return app().Textos.value(key.toLower(), QStringLiteral("???")); }
