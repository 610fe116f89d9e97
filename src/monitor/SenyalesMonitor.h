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
    double Valor = 0;  // last reported value, four decimals
    QString AccesoNV;  // LON only: "R", "W", "RW"
    QString Espontaneo;
    // An unanswered point must not look like a real zero: no value until the
    // gateway reports one, and when it last did.
    bool HayValor = false;
    QDateTime UltimoInforme;
};

// Slot 0 of Senyales is never used; records are 1..NumSenyales.
struct ListaSenyales {
    QVector<Senyal> Senyales = QVector<Senyal>(1);
    qint32 NumSenyales = 0;
    QHash<QString, qint32> IndiceSenyales;  // "AD" + address "0000" -> index
    // Told of every value stored, with the record's index (the viewer's trends
    // listen here); survives reloads.
    std::function<void(qint32)> alInformar;
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
    bool setValue(const QString& key, double value) override;
    // The gateway has forgotten every value: none is shown until reported again.
    void clearAll() override;
};

// The value as shown: "#.####" trimmed of trailing zeros, or empty when none.
QString textoValor(const Senyal& s);
