// The lines of a traffic monitor. What arrives is queued with the time it
// arrived and reaches the list in batches, a few times a second: a burst of
// spy lines then costs one removal, one insertion and one repaint per batch
// instead of one per line, and the window stays responsive. The list keeps the
// newest kMaxLineas lines.
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QTimer>

class ListaTramas : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kMaxLineas = 500;
    static constexpr int kIntervaloMs = 50;  // a queued line waits at most this long

    explicit ListaTramas(QObject* parent = nullptr);

    // Queues a line (stamped now); it is listed with the next batch.
    void agrega(const QString& linea);
    // Lists what is queued now, as one batch.
    void vuelca();
    // Empties the list and the queue.
    void borra();
    // With the time of arrival "hh:mm:ss.zzz " in front of every line.
    void setConHora(bool on);
    bool conHora() const { return m_conHora; }

    // The text of a listed line as shown, and every listed line, oldest first.
    QString linea(int row) const;
    QStringList lineas() const;
    int lotes() const { return m_lotes; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

signals:
    // A batch was listed.
    void volcado();

private:
    struct Linea {
        qint64 ms;  // arrival, ms since the epoch
        QString texto;
    };
    QList<Linea> m_lineas;      // listed, oldest first
    QList<Linea> m_pendientes;  // queued, at most kMaxLineas
    QTimer m_timer;
    bool m_conHora = false;
    int m_lotes = 0;
};
