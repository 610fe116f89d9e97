// The serial side of a gateway's ASCII link, common to every gateway model:
// speed, data bits, parity, the pause between spontaneous frames and the OK
// answer to writes. Kept in section "ASCII" of the project's protocol INI file;
// each gateway model offers its own list of speeds, the rest is the same.
#pragma once

#include <QString>
#include <QStringList>

struct AsciiSerialConfig {
    int Baudios = 0;                            // cboBaud list index (the model's own speed list)
    int Bits = 0;                               // cmbBits list index
    int Paridad = 0;                            // cmbParidad list index
    QString Tmout_ms = QStringLiteral("1000");  // txtTimeoutAscii: 0..2000 ms
    bool SendACK = false;                       // chkACK "Send OK for writes"
    // Stored text of an index outside its list: written back unchanged until
    // the user picks an item (empty when the index is in the list).
    QString BaudiosKept, BitsKept, ParidadKept;

    static const QStringList& bitsItems();     // cmbBits: "8", "7"
    static const QStringList& paridadItems();  // cmbParidad: "none-1stop", "even-1stop", "odd-1stop", "2stop"
    // "Baudios"/"Bits"/"Paridad" as stored: index, blank, item in parentheses, e.g. "4 (9600)".
    static QString encodeChoice(int index, const QStringList& items);
    // Item `i` of a list, "" when out of range.
    static QString itemOf(const QStringList& items, int i);

    QString bitsText() const { return itemOf(bitsItems(), Bits); }
    QString paridadText() const { return itemOf(paridadItems(), Paridad); }

    // "Baudios", "Bits", "Paridad", "Tmout_ms", "SendACK" of section "ASCII" of
    // the current project INI, in that order. A stored index the list does not
    // have reads as the first item, and its text is kept to be saved as it was.
    void readSerialKeys(const QStringList& baudItems);
    void writeSerialKeys(const QStringList& baudItems) const;
};

// The ASCII timeout box on leaving: clamped into 0..2000 and written back.
// Returns true when the stored value changed.
bool clampAsciiTimeout(AsciiSerialConfig& cfg, const QString& text);
