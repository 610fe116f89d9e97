// Whether a whole text is a number, where reading its leading number (Val)
// would turn "ERR" into 0: the values a gateway reports and the values typed
// for a write are taken only when they pass.
#pragma once

#include <QString>

// Blanks, an optional sign, digits with an optional "." fraction and exponent,
// blanks; or "&H" and hexadecimal digits. "ERR", empty, "12,5x", "&HZZ" and
// "NaN" are not numbers. *value gets the number (infinite when the text is
// beyond a double's range).
bool EsNumero(const QString& text, double* value = nullptr);
