// The monitor signal list: while on line, one record per active signal of an
// enabled device of the current project, with the last value the gateway
// reported for it. The link's receive side stores value reports here (through
// SenyalesSink); the viewer and `pilmora poll` read it.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>
#include <functional>

#include "GatewayLink.h"

struct Senyal {
    QString Descripcion;
    qint16 Numero = 0;      // SNVT id (LON), property number (MBS6)
    QString NombreSNVT;     // LON only
    QString Disp;           // device, as written in the table
    qint16 Direccion = 0;   // ASCII address
    qint16 Sentido = 0;     // 0 "R", 1 "W", 2 anything else
    qint16 TipoSenyal = 0;  // MBS6: 0 analog, 1 digital; LON: 0
    qint16 Activa = 0;
    double Valor = 0;  // last reported value, four decimals (0 while not Valido)
    QString AccesoNV;  // LON only: "R", "W", "RW"
    QString Espontaneo;
    // An unanswered point must not look like a real zero: no value until the
    // gateway reports one, and when it last did.
    bool HayValor = false;
    QDateTime UltimoInforme;
    // The gateway's text after "=" as reported (at most kMaxTextoInforme
    // characters), and whether it is a number the value holds: "ERR" is kept
    // as "ERR", never read as 0.
    QString TextoInforme;
    bool Valido = false;
    // A value the tool wrote and the gateway has not reported since ("12.50").
    QString Enviado;
    // The last write from the viewer and the gateway's first report after it
    // (the checkout keeps both as evidence).
    QString Escrito, Eco;
    QDateTime UltimaEscritura, EcoHora;
};

// What a 64-bit fixed-point value with four decimals can hold.
constexpr double kMaxValor = 922337203685477.5807;
// Report text kept per signal: a 10,000-character value is not held whole.
constexpr int kMaxTextoInforme = 256;

// Slot 0 of Senyales is never used; records are 1..NumSenyales.
struct ListaSenyales {
    QVector<Senyal> Senyales = QVector<Senyal>(1);
    qint32 NumSenyales = 0;
    QHash<QString, qint32> IndiceSenyales;  // "AD" + address "0000" -> index
    // Told of every value stored, with the record's index (the viewer's trends
    // listen here); survives reloads.
    std::function<void(qint32)> alInformar;
    // Told of every report, for an address in the list or not (the poll pass
    // counts answers here); survives reloads.
    std::function<void(const QString& key)> alRecibir;
    // Reports for addresses not in the list, per key; told once per key, then
    // only counted. Emptied by a reload.
    QHash<QString, qint32> Desconocidas;
};

// The one list of the running program.
ListaSenyales& listaSenyales();

// "AD" + the address zero-padded to at least four digits.
QString claveSenyal(int direccion);

// Empties the list, then loads it for the gateway's protocol ("LON", "MBS6";
// any other leaves it empty) from the current project's files.
void Carga_DatosMFAPilmora(const QString& protocol);
// Append the active signals of the enabled devices of the current project.
void Carga_SenyalesLon();
void Carga_SenyalesMbs6();

// Value reports and "CLEARALL" from the link into the list.
class SenyalesSink : public ValueSink {
public:
    // Keeps the text; the value only when the text is a number it can hold.
    // An address not in the list is named in *note the first time only.
    bool setValue(const QString& key, const QString& text, QString* note) override;
    // The gateway has forgotten every value: none is shown until reported again.
    void clearAll() override;
};

// The value as a number: "#.####" trimmed of trailing zeros; empty when there
// is none or the gateway's text is not a valid number.
QString textoValor(const Senyal& s);
// The value as the viewer and `pilmora poll` show it: a value written and not
// yet reported as sent, a text that is not a number marked not valid, else
// textoValor.
QString textoMostrado(const Senyal& s);
// Reports for addresses not in the list, "AD0123 (45), ..." (the first ones);
// empty when there were none.
QString textoDesconocidas();
