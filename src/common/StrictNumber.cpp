#include "StrictNumber.h"

#include <cctype>
#include <cmath>

#include "Numeric.h"

namespace {
bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}
}  // namespace

bool EsNumero(const QString& text, double* value) {
    int i = 0, n = int(text.size());
    while (i < n && isBlank(text[i])) ++i;
    while (n > i && isBlank(text[n - 1])) --n;
    auto digitsFrom = [&](int& k, bool hex) {
        const int from = k;
        while (k < n &&
               (text[k].unicode() < 128 && (hex ? std::isxdigit(text[k].unicode()) : std::isdigit(text[k].unicode()))))
            ++k;
        return k - from;
    };
    int k = i;
    if (k + 1 < n && text[k] == QLatin1Char('&') && text[k + 1].toUpper() == QLatin1Char('H')) {
        k += 2;
        const int digits = digitsFrom(k, true);
        if (digits == 0 || k != n) return false;
        // Beyond 16 digits Val would read only the first ones.
        if (value) *value = digits > 16 ? HUGE_VAL : Val(text);
        return true;
    }
    if (k < n && (text[k] == QLatin1Char('+') || text[k] == QLatin1Char('-'))) ++k;
    int mantissa = digitsFrom(k, false);
    if (k < n && text[k] == QLatin1Char('.')) ++k, mantissa += digitsFrom(k, false);
    if (mantissa == 0) return false;
    if (k < n && (text[k] == QLatin1Char('e') || text[k] == QLatin1Char('E'))) {
        ++k;
        if (k < n && (text[k] == QLatin1Char('+') || text[k] == QLatin1Char('-'))) ++k;
        if (digitsFrom(k, false) == 0) return false;
    }
    if (k != n) return false;
    if (value) {
        // Beyond a double's range it is still a number: infinite when too large
        // (never 0), 0 when too small.
        const QString t = text.mid(i, n - i);
        bool ok = false;
        double v = t.toDouble(&ok);
        if (!ok) {
            const qsizetype e = t.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
            const bool tiny = e >= 0 && t.mid(e + 1).startsWith(QLatin1Char('-'));
            v = tiny ? 0.0 : HUGE_VAL;
            if (t.startsWith(QLatin1Char('-'))) v = -v;
        }
        *value = v;
    }
    return true;
}
