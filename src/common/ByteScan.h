// Scans over a file's bytes that every load makes: 16 bytes per step where the
// machine has SSE2 (every x86-64 does), one byte per step elsewhere.
#pragma once

#include <QtGlobal>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A character code no text file holds: 0x00-0x1F but TAB, LF and CR.
constexpr bool isDamagingCode(unsigned u) { return u < 0x20 && u != '\t' && u != '\n' && u != '\r'; }

// First byte from `from` on that no text file holds (isDamagingCode), or n when
// there is none.
inline qsizetype firstDamagingByte(const char* p, qsizetype n, qsizetype from = 0) {
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i limit = _mm_set1_epi8(0x1F), tab = _mm_set1_epi8('\t'), lf = _mm_set1_epi8('\n'),
                  cr = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(v, limit), v);
        const __m128i text =
            _mm_or_si128(_mm_cmpeq_epi8(v, tab), _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
        if (_mm_movemask_epi8(_mm_andnot_si128(text, control))) break;
    }
#endif
    for (; i < n; ++i)
        if (isDamagingCode(uchar(p[i]))) return i;
    return n;
}

// First byte from `from` on in 0x80-0x9F, where Windows-1252 and Latin-1 differ,
// or n when there is none.
inline qsizetype firstAnsiOnlyByte(const char* p, qsizetype n, qsizetype from = 0) {
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi8(char(0xE0)), high = _mm_set1_epi8(char(0x80));
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, mask), high))) break;
    }
#endif
    for (; i < n; ++i)
        if ((uchar(p[i]) & 0xE0) == 0x80) return i;
    return n;
}

// How many times `c` occurs: memchr skips the bytes between two of them many at a time.
inline qsizetype countByte(const char* p, qsizetype n, char c) {
    qsizetype found = 0;
    for (const char* e = p + n; (p = static_cast<const char*>(memchr(p, c, size_t(e - p)))); ++p) ++found;
    return found;
}
