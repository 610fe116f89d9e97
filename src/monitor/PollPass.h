// One pass of read requests over a list of signals, paced by the gateway's
// answers: the next request leaves as soon as the previous one is answered
// (any report for its address), and at the latest kEsperaMs after it, so no
// more than one request waits for its answer unless the gateway stays silent.
// The viewer's Refresh and `pilmora poll` both ask through this class.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class QTimer;

class PollPass : public QObject {
    Q_OBJECT
public:
    // Longest wait for one answer before the next request goes anyway.
    static constexpr int kEsperaMs = 50;
    // After the last request: how long late answers are still counted.
    static constexpr int kCierreMs = 1000;

    explicit PollPass(QObject* parent = nullptr);

    // Sends one request ("AD0012?").
    std::function<void(const QString&)> transmite;
    // False ends the pass (the link is no longer verified).
    std::function<bool()> enLinea;
    // Milliseconds of a monotonic clock; tests hand in their own.
    std::function<qint64()> reloj;

    // Asks key + "?" for each key ("AD0012"), in this order. The first request leaves at once.
    void start(const QStringList& keys);
    // Ends the pass without a summary (the user's Stop).
    void stop();
    bool activo() const { return m_activo; }
    // A report for `key` arrived ("ERR" and other texts included).
    void respuesta(const QString& key);
    // Time has passed: the next request once the wait is over, or the end of the pass.
    // The pass's own timer calls it; tests with their own clock call it directly.
    void tick();

    int total() const { return int(m_keys.size()); }
    int enviadas() const { return m_next; }
    int contestadas() const { return m_contestadas; }
    // Whether request `pos` (0-based, the order of start()) had its answer.
    bool contestada(int pos) const { return m_ok.value(pos); }

signals:
    // The pass is over: every request sent and answered, or the closing wait ended
    // (`completa` true); the link was lost (false). Not emitted by stop().
    void terminada(bool completa);

private:
    void envia();
    void termina(bool completa);
    void arma(qint64 deadline);
    qint64 ahora() const;

    QStringList m_keys;
    QHash<QString, QVector<int>> m_posiciones;  // key -> positions asked for it
    QVector<bool> m_ok;
    int m_next = 0;  // next position to ask
    int m_contestadas = 0;
    int m_esperada = -1;     // position whose answer the next request waits for
    qint64 m_enviadaMs = 0;  // when the last request left
    bool m_activo = false;
    bool m_enviando = false, m_otra = false;
    QTimer* m_timer;
};
