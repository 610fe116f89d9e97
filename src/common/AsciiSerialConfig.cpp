#include "AsciiSerialConfig.h"

#include "ModulINI.h"
#include "Numeric.h"

namespace {
const QString kSecAscii = QStringLiteral("ASCII");

int readChoice(const QString& key, const QStringList& items) {
    const qint32 i = CLngText(LeeIni(kSecAscii, key, QStringLiteral("0")));
    return (i >= 0 && i < items.size()) ? i : 0;
}
}  // namespace

const QStringList& AsciiSerialConfig::bitsItems() {
    static const QStringList l{"8", "7"};
    return l;
}

const QStringList& AsciiSerialConfig::paridadItems() {
    static const QStringList l{"none-1stop", "even-1stop", "odd-1stop", "2stop"};
    return l;
}

QString AsciiSerialConfig::itemOf(const QStringList& items, int i) {
    return (i >= 0 && i < items.size()) ? items[i] : QString();
}

QString AsciiSerialConfig::encodeChoice(int index, const QStringList& items) {
    return QString::number(index) + QStringLiteral(" (") + itemOf(items, index) + QLatin1Char(')');
}

void AsciiSerialConfig::readSerialKeys(const QStringList& baudItems) {
    Baudios = readChoice(QStringLiteral("Baudios"), baudItems);
    Bits = readChoice(QStringLiteral("Bits"), bitsItems());
    Paridad = readChoice(QStringLiteral("Paridad"), paridadItems());
    Tmout_ms = LeeIni(kSecAscii, QStringLiteral("Tmout_ms"), QStringLiteral("1000"));
    SendACK = LeeIniEntero(kSecAscii, QStringLiteral("SendACK"), 0) != 0;
}

void AsciiSerialConfig::writeSerialKeys(const QStringList& baudItems) const {
    EscribeIni(kSecAscii, QStringLiteral("Baudios"), encodeChoice(Baudios, baudItems));
    EscribeIni(kSecAscii, QStringLiteral("Bits"), encodeChoice(Bits, bitsItems()));
    EscribeIni(kSecAscii, QStringLiteral("Paridad"), encodeChoice(Paridad, paridadItems()));
    EscribeIni(kSecAscii, QStringLiteral("Tmout_ms"), Tmout_ms);
    EscribeIni(kSecAscii, QStringLiteral("SendACK"), SendACK ? QStringLiteral("1") : QStringLiteral("0"));
}

bool clampAsciiTimeout(AsciiSerialConfig& cfg, const QString& text) {
    const QString v = QString::number(qBound<qint32>(0, CLngText(text), 2000));
    if (v == cfg.Tmout_ms) return false;
    cfg.Tmout_ms = v;
    return true;
}
