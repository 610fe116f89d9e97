// Reading numbers from text the way every field, cell and INI value is read.
#pragma once

#include <QString>

// Leading number of a text: blanks are skipped, an optional sign, digits with one
// decimal point and an exponent; "&H" reads hexadecimal, "&O" octal. Empty or
// non-numeric text reads 0.
double Val(const QString& text);

// Val for cells read by the tens of thousands: plain integers and codes such as
// "1-Spon" are read without the general parser; anything else goes to Val.
double ValCelda(const QString& text);

// Rounding to an integer field: to nearest, ties to even. Values outside the
// field's range are clamped and *overflow is set (when given).
qint64 RedondeaPar(double v);
qint16 CInt(double v, bool* overflow = nullptr);
qint32 CLng(double v, bool* overflow = nullptr);
inline qint16 CIntText(const QString& t, bool* overflow = nullptr) { return CInt(Val(t), overflow); }
inline qint32 CLngText(const QString& t, bool* overflow = nullptr) { return CLng(Val(t), overflow); }

// Every occurrence of search replaced, left to right; a replacement is never searched again.
QString Reemplaza(const QString& text, const QString& search, const QString& replacement);

// The first "," replaced by ".".
QString Normaliza_Decimal(const QString& text);
