// The checkout in the live viewer, without a screen: two columns after the
// viewer's own (state, note), the rows a filter leaves to check, the progress
// line, and marking the selected rows. fVerDatos binds it to its controls.
#pragma once

#include <QString>

#include "Checkout.h"

class VisorSenyales;

class CheckoutVisor {
public:
    Checkout checkout;
    int colEstado = 0, colNota = 0;
    bool soloSinComprobar = false;  // hide the rows that have a verdict

    // After VisorSenyales::Datos_Carga: the project's points and Checkout.csv
    // read, the two columns added and filled. False with the reason when the
    // file cannot be read (the columns are there all the same, every row not checked).
    bool carga(VisorSenyales& v, int slot, QString* error);
    // Reads the file again when another program changed it, and then shows it.
    // False with the reason once per fault (it runs every second: the same
    // unreadable file must not raise a box every second).
    bool refresca(VisorSenyales& v, QString* error);
    // The viewer's filter, then the rows with a verdict hidden when asked.
    // Returns how many rows are shown.
    int filtra(VisorSenyales& v, const QString& texto);
    // Marks the selected rows that are shown (the note as given, or kept when null).
    // False with the reason when nothing could be written; *marcadas: how many.
    bool marca(VisorSenyales& v, EstadoCheckout estado, const QString& nota, bool soloNota, int* marcadas,
               QString* error);
    // "Checked: 312 / 4000" (a verdict given), and the records whose point is gone.
    QString progreso() const;

private:
    void escribeFilas(VisorSenyales& v);
    int m_generacion = -1;  // of the records the rows show
    QString m_fallo;        // the read fault last told
};
