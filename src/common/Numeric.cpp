#include "Numeric.h"

#include <cmath>
#include <limits>

namespace {
bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'); }

double radixValue(const QString& t, int pos, int radix) {
    // Hexadecimal and octal literals are 16-bit or 32-bit two's complement values.
    quint64 v = 0;
    int digits = 0;
    for (; pos < t.size(); ++pos) {
        const QChar c = t[pos];
        if (isBlank(c)) continue;
        const int d = c.isDigit() ? c.digitValue() : (c.toUpper().unicode() >= 'A' && c.toUpper().unicode() <= 'F' ? c.toUpper().unicode() - 'A' + 10 : 99);
        if (d >= radix || digits == 16) break;  // a 17th hexadecimal digit would not fit in 64 bits
        v = v * radix + d;
        ++digits;
    }
    if (v <= 0xFFFF) return double(qint16(quint16(v)));
    if (v <= 0xFFFFFFFFull) return double(qint32(quint32(v)));
    return double(v);
}
}  // namespace

double Val(const QString& text) {
    int i = 0;
    const int n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    if (i + 1 < n && text[i] == QLatin1Char('&')) {
        const QChar k = text[i + 1].toUpper();
        if (k == QLatin1Char('H')) return radixValue(text, i + 2, 16);
        if (k == QLatin1Char('O')) return radixValue(text, i + 2, 8);
    }
    QByteArray num;
    num.reserve(n - i);
    bool digits = false, point = false, exp = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isBlank(c)) continue;
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            num += char(c.unicode());
            digits = true;
        } else if ((c == QLatin1Char('+') || c == QLatin1Char('-')) && (num.isEmpty() || num.endsWith('e'))) {
            num += char(c.unicode());
        } else if (c == QLatin1Char('.') && !point && !exp) {
            num += '.';
            point = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E') || c == QLatin1Char('d') || c == QLatin1Char('D')) && digits && !exp) {
            num += 'e';
            exp = true;
        } else {
            break;
        }
    }
    // Drop an incomplete exponent or a lone sign.
    while (!num.isEmpty() && (num.endsWith('e') || num.endsWith('+') || num.endsWith('-'))) num.chop(1);
    if (!digits) return 0.0;
    bool ok = false;
    const double v = num.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

qint64 RedondeaPar(double v) {
    if (!std::isfinite(v)) return 0;
    if (v >= 9.2e18) return std::numeric_limits<qint64>::max();
    if (v <= -9.2e18) return std::numeric_limits<qint64>::min();
    return qint64(std::nearbyint(v));  // default FP rounding mode: to nearest, ties to even
}

qint16 CInt(double v, bool* overflow) {
    const qint64 r = RedondeaPar(v);
    const bool over = r < -32768 || r > 32767;
    if (overflow) *overflow = over;
    return over ? (r < 0 ? qint16(-32768) : qint16(32767)) : qint16(r);
}

qint32 CLng(double v, bool* overflow) {
    const qint64 r = RedondeaPar(v);
    const bool over = r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max();
    if (overflow) *overflow = over;
    return over ? (r < 0 ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint32>::max()) : qint32(r);
}

QString Reemplaza(const QString& text, const QString& search, const QString& replacement) {
    if (search.isEmpty()) return text;
    QString out;
    out.reserve(text.size());
    int from = 0;
    for (int p = text.indexOf(search, from); p >= 0; p = text.indexOf(search, from)) {
        out += QStringView(text).mid(from, p - from);
        out += replacement;
        from = p + search.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

QString Normaliza_Decimal(const QString& text) {
    QString t = text;
    const int p = t.indexOf(QLatin1Char(','));
    if (p >= 0) t[p] = QLatin1Char('.');
    return t;
}

double ValCelda(const QString& t) {
    const int n = int(t.size());
    if (n == 0) return 0;
    const QChar* p = t.constData();
    const int first = p[0] == QLatin1Char('-') ? 1 : 0;
    if (first == n) return Val(t);
    qint32 v = 0;
    for (int i = first; i < n; ++i) {
        const ushort u = p[i].unicode();
        // After digits a sign ends the number ("2-16bit sig" reads 2).
        if ((u == '-' || u == '+') && i > first) break;
        if (u < '0' || u > '9' || i - first == 9) return Val(t);
        v = v * 10 + (u - '0');
    }
    return first ? -double(v) : double(v);
}
