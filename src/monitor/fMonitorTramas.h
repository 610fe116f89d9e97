// What the three traffic monitors share: the list of lines (newest 500, in
// batches), "follow last", the bus switch, the time of arrival in front of each
// line (remembered per window in the application INI), clearing, and the copy
// of every line on a double-click on the window.
#pragma once

#include <QWidget>

#include "ListaTramas.h"

class QCheckBox;
class QHBoxLayout;
class QListView;
class QPushButton;

class fMonitorTramas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLineas = ListaTramas::kMaxLineas;

    // Lists what is still queued now.
    void flush() { tramas.vuelca(); }
    // Every line listed, oldest first, as shown (after a flush).
    QStringList lineas();
    // The whole list on the clipboard, each line followed by CR LF.
    void copiaTodo();

    // Select each new line so the list follows the newest one (chkUltimo).
    qint16 VerUltimo = 1;

    ListaTramas tramas;
    QListView* lstTramas = nullptr;
    QCheckBox* chkUltimo = nullptr;
    QCheckBox* chkBus = nullptr;
    QCheckBox* chkHora = nullptr;
    QPushButton* cmdClear = nullptr;

protected:
    explicit fMonitorTramas(const QString& name, QWidget* parent);
    // The row of check boxes, for a window's own controls.
    QHBoxLayout* fila = nullptr;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void alVolcar();
};
