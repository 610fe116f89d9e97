// The checkout of a project's points: which point each signal of the monitor
// list stands for, its state in Checkout.csv, marking signals with the
// evidence the link holds, the counts, and the records no current point
// matches (the point left the table, or what stands behind its address
// changed). The viewer and `pilmora poll --record` share it.
#pragma once

#include <QHash>
#include <QVector>
#include <array>

#include "CheckoutStore.h"
#include "ProjectPoints.h"

struct Senyal;
struct ListaSenyales;

class Checkout {
public:
    // Reads the current project's points (slot kSlotLon or kSlotMbs6) and its
    // Checkout.csv. False with the reason when the file cannot be read; the
    // points are read all the same (the table's reader tells its own faults).
    bool carga(int slot, QString* error);
    // The file again when another program changed it.
    bool recarga(QString* error) { return m_store.recargaSiCambio(error); }

    // The point at an address (the first one, as the monitor index keeps), or nullptr.
    const ProjectPoint* punto(int direccion) const;
    // The record of the point now at that address, or nullptr when it has none.
    const CheckoutRecord* registro(int direccion) const;
    EstadoCheckout estado(int direccion) const;

    // Marks the signals `indices` of the list with `estado`, each with the
    // evidence the list holds for it now, by this user at this time. With
    // `soloNota` the state stays and only the note changes. Signals that
    // stand for no point of the project are passed over.
    bool marca(const ListaSenyales& lista, const QVector<qint32>& indices, EstadoCheckout estado, const QString& nota,
               bool soloNota, QString* error);
    // `pilmora poll --record`: every signal that holds a valid value is
    // "answered", unless a person has given it a verdict.
    bool marcaContestados(const ListaSenyales& lista, int* marcados, QString* error);

    // How many signals of the list are in each state.
    std::array<int, kEstadosCheckout> cuenta(const ListaSenyales& lista) const;
    // Records that no current point matches, by address.
    QVector<CheckoutRecord> huerfanos() const;

    const QVector<ProjectPoint>& puntos() const { return m_puntos; }
    const CheckoutStore& store() const { return m_store; }

private:
    // The evidence the link holds for `s` now, marked `e` at `hora` by `usuario`.
    CheckoutRecord nuevo(const Senyal& s, const ProjectPoint& p, EstadoCheckout e, const QDateTime& hora,
                         const QString& usuario) const;
    QVector<ProjectPoint> m_puntos;
    QVector<QString> m_claves;       // record key of each point
    QHash<int, int> m_porDireccion;  // address -> index in m_puntos
    CheckoutStore m_store;
};

// A value the checkout takes as an answer: reported, and a number the value can hold.
bool valorValido(const Senyal& s);
