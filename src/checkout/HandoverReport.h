// The handover report of a project: what the control-system integrator needs
// (the project, its gateway settings and devices, the list of points) and the
// record of what was verified (the download history, the checkout with its
// counts, failed rows first). Built as HTML that the PDF writer lays out into
// pages, or written as it is; the points list also as a spreadsheet file.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

#include "Checkout.h"

// One part of the report after its cover: a heading and a table (or a
// sentence when there is nothing to list).
struct SeccionInforme {
    QString titulo;
    QStringList cabecera;
    QVector<QStringList> filas;
    QVector<int> pesos;  // relative width of each column
    QString texto;       // shown instead of an empty table
    bool nuevaPagina = false;
};

struct HandoverReport {
    QString proyecto, descripcion, protocolo;
    bool lon = true;
    QVector<QStringList> ajustes;  // label, value
    QStringList cabeceraDispositivos;
    QVector<QStringList> dispositivos;
    QStringList cabeceraHistoria;  // the download history (History.csv), newest row first
    QVector<QStringList> historia;
    Checkout checkout;
    std::array<int, kEstadosCheckout> cuentas{};
    QDateTime fecha;
    QString version;

    // Reads the project folder: description, configuration, points, history
    // and checkout. False with the reason when the project cannot be reported
    // (no folder, not LON or MBS6, a signal table or checkout file that cannot
    // be read).
    bool lee(const QString& folder, QString* error);

    // Captions and rows of the points list: ASCII address, description,
    // direction, analog/digital, device, then SNVT and scaling (LON) or property
    // (MBS6). `csv` adds the separate fields a spreadsheet computes with.
    QStringList cabeceraPuntos(bool csv) const;
    QVector<QStringList> filasPuntos(bool csv) const;

    // The cover: title, project, description, protocol, date, version and the
    // gateway settings, as HTML (a fragment, or a whole document).
    QString htmlPortada() const;
    // After the cover: devices in use, points list, download history, the
    // checkout counts and table (failed rows first), the records without a
    // current point.
    QVector<SeccionInforme> secciones() const;
    // The whole report as one HTML document (UTF-8 when written).
    QString html() const;
    // The line at the foot of every page, before the page number.
    QString pie() const;
};

// The points list as a spreadsheet file (UTF-8 with a mark, ",").
bool escribePuntosCsv(const HandoverReport& r, const QString& path, QString* error);
