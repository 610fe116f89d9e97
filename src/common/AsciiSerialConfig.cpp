#include "AsciiSerialConfig.h"

#include "ModulINI.h"
#include "Numeric.h"

namespace {
const QString kSecAscii = QStringLiteral("ASCII");

int readChoice(const QString& key, const QStringList& items, QString& kept) {
    const QString stored = LeeIni(kSecAscii, key, QStringLiteral("0"));
    const qint32 i = CLngText(stored);
    const bool inList = i >= 0 && i < items.size();
    kept = inList ? QString() : stored;
    return inList ? i : 0;
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
    Baudios = readChoice(QStringLiteral("Baudios"), baudItems, BaudiosKept);
    Bits = readChoice(QStringLiteral("Bits"), bitsItems(), BitsKept);
    Paridad = readChoice(QStringLiteral("Paridad"), paridadItems(), ParidadKept);
    Tmout_ms = LeeIni(kSecAscii, QStringLiteral("Tmout_ms"), QStringLiteral("1000"));
    SendACK = LeeIniEntero(kSecAscii, QStringLiteral("SendACK"), 0) != 0;
}

void AsciiSerialConfig::writeSerialKeys(const QStringList& baudItems) const {
    auto choice = [](int index, const QStringList& items, const QString& kept) {
        return kept.isEmpty() ? encodeChoice(index, items) : kept;
    };
    EscribeIni(kSecAscii, QStringLiteral("Baudios"), choice(Baudios, baudItems, BaudiosKept));
    EscribeIni(kSecAscii, QStringLiteral("Bits"), choice(Bits, bitsItems(), BitsKept));
    EscribeIni(kSecAscii, QStringLiteral("Paridad"), choice(Paridad, paridadItems(), ParidadKept));
    EscribeIni(kSecAscii, QStringLiteral("Tmout_ms"), Tmout_ms);
    EscribeIni(kSecAscii, QStringLiteral("SendACK"), SendACK ? QStringLiteral("1") : QStringLiteral("0"));
}

bool clampAsciiTimeout(AsciiSerialConfig& cfg, const QString& text) {
    const QString v = QString::number(qBound<qint32>(0, CLngText(text), 2000));
    if (v == cfg.Tmout_ms) return false;
    cfg.Tmout_ms = v;
    return true;
}
