// The configuration of one MBS6 gateway: the serial ASCII side, the poll time of
// the MBS6 bus and its 63 indoor units (name and in-use flag each). The editor
// binds its controls to the public members (named after their INI keys); the
// checks, the download file generator and the command-line tool read the same
// object.
//
// Persistence: MBS6.ini in the project folder, section "MBS6" for the poll time
// and the units, section "ASCII" for the serial side. The INI routines find the
// file through app().RutaProyecto and app().NombreIni ("MBS6").
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include "AsciiSerialConfig.h"

// One indoor unit (number n = index + 1).
struct Mbs6Unit {
    bool On = false;  // "Dn-On": unit present
    QString Nm;       // "Dn-Nm": descriptive name
};

class Mbs6Config : public AsciiSerialConfig {
public:
    static constexpr int kUnits = 63;         // the bus's units; there is no devices dialog
    static constexpr int kMaxAddress = 6314;  // highest ASCII address, and most active points

    // cboBaud: "1200" .. "57600" (no 600 on this gateway).
    static const QStringList& baudItems();

    QString TimeoutPoll = QStringLiteral("1000");  // txtTimeoutPoll, milliseconds between MBS requests
    static constexpr int kMaxTimeoutPoll = 32767;  // the download file holds it in 16 bits
    QVector<Mbs6Unit> Maquinas = QVector<Mbs6Unit>(kUnits);
    int currentUnit = 1;  // unit shown in txtMaquina (1-based)

    bool connectionChanged = false;  // serial, poll time or units edited since load/save
    bool gridChanged = false;        // signal grid edited since load/save
    bool loading = false;            // set while the model is being filled
    bool damaged = false;            // a project file was damaged when loaded: a save must come first

    void markConnectionChanged() {
        if (!loading) connectionChanged = true;
    }
    void markGridChanged() {
        if (!loading) gridChanged = true;
    }

    QString baudText() const { return itemOf(baudItems(), Baudios); }
    // "MBS6 Configuracion - Max.MBS6 Dispositivos:63 Max.Regs.ASCII:6314" (the two
    // words are the texts of their language keys).
    static QString captionText();
    // Unit list item: text of "Dispositivo" followed by the number.
    static QString unitListText(int n);

    // Units 1..63; out of range gives an empty unit / nullptr.
    Mbs6Unit unit(int n) const;
    Mbs6Unit* unitPtr(int n);

    // Reads "TimeoutPoll", the two keys of every unit, then the serial keys;
    // missing keys take their defaults. Clears both change flags; unit 1 current.
    void Carga_ConfMbs6();
    // Writes "TimeoutPoll", the two keys of every unit, then "Baudios", "Bits",
    // "Paridad", "Tmout_ms", "SendACK".
    void Graba_ConfMbs6() const;

    // The unit name box on leaving: trimmed and stored in the current unit.
    // Returns the text the box shows.
    QString leaveUnitName(const QString& text);
};

// The save's check of the model: the poll time must fit the download file
// (0..kMaxTimeoutPoll), else "TimeoutPollFueraDeRango" and false.
bool Valida_ConfMbs6(const Mbs6Config& cfg);
