// The points a project's gateway serves on its ASCII side, read from the
// project's files with the monitor list's rules (active rows of enabled
// devices, the gateway's own row once any device is enabled), but with every
// field of the row that the integrator and the checkout need: identity,
// scaling, direction, analog or digital.
#pragma once

#include <QString>
#include <QVector>

struct ProjectPoint {
    int direccion = 0;  // ASCII address
    QString descripcion;
    QString disp;    // device (LON) or unit (MBS6), as written in the table
    QString numero;  // SNVT id (LON) or property code (MBS6), as written
    QString nombreSnvt, indice, offset, tipoDato, a, b, c, accesoNV;  // LON only
    QString sentido;                                                  // "R", "W" or "RW"
    bool digital = false;
    QString espontaneo;
    bool lon = false;

    // What the address stands for on the field bus: device, SNVT, NV index and
    // offset (LON); unit and property (MBS6). Numbers as read, so "01" and "1" agree.
    QString identidad() const;
    // What the control system sees of it besides its description: data type,
    // scaling and NV access (LON), direction and analog/digital. A change here
    // changes the point, as a change of identity does.
    QString definicion() const;
};

// The points of the current project (app().RutaProyecto) for protocol slot
// kSlotLon or kSlotMbs6, in table order. False when the signal table cannot be
// read (its reader has told why).
bool leePuntosProyecto(int slot, QVector<ProjectPoint>* out);
