#include "PollPass.h"

#include <QElapsedTimer>
#include <QTimer>

PollPass::PollPass(QObject* parent) : QObject(parent), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &PollPass::tick);
}

qint64 PollPass::ahora() const {
    if (reloj) return reloj();
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock.elapsed();
}

void PollPass::start(const QStringList& keys) {
    m_keys = keys;
    m_posiciones.clear();
    for (int i = 0; i < m_keys.size(); ++i) m_posiciones[m_keys[i]].append(i);
    m_ok = QVector<bool>(m_keys.size(), false);
    m_next = 0;
    m_contestadas = 0;
    m_esperada = -1;
    m_activo = true;
    envia();
}

void PollPass::stop() {
    m_activo = false;
    m_timer->stop();
}

void PollPass::termina(bool completa) {
    stop();
    emit terminada(completa);
}

void PollPass::arma(qint64 deadline) { m_timer->start(int(qBound(qint64(0), deadline - ahora(), qint64(kCierreMs)))); }

void PollPass::envia() {
    // A gateway that answers within transmite (a test's) asks for the next one from
    // inside this call: it is sent by this loop, not by a call deeper down.
    if (m_enviando) {
        m_otra = true;
        return;
    }
    m_enviando = true;
    do {
        m_otra = false;
        if (!m_activo) continue;
        if (enLinea && !enLinea()) {
            termina(false);
            continue;  // a slot of terminada may have started a new pass
        }
        if (m_next >= m_keys.size()) {
            // Everything asked: the end once every answer is in, else after the closing wait.
            if (m_contestadas == m_keys.size())
                termina(true);
            else
                arma(m_enviadaMs + kCierreMs);
            continue;
        }
        m_esperada = m_next++;
        m_enviadaMs = ahora();
        if (transmite) transmite(m_keys[m_esperada] + QLatin1Char('?'));
        if (m_activo && !m_otra) arma(m_enviadaMs + kEsperaMs);
    } while (m_otra);
    m_enviando = false;
}

void PollPass::respuesta(const QString& key) {
    if (!m_activo) return;
    const auto it = m_posiciones.constFind(key);
    if (it == m_posiciones.constEnd()) return;
    bool actual = false;
    // A report answers every request for its address that has gone out.
    for (int pos : *it) {
        if (pos >= m_next || m_ok[pos]) continue;
        m_ok[pos] = true;
        ++m_contestadas;
        actual = actual || pos == m_esperada;
    }
    if (actual) {
        m_esperada = -1;
        envia();
    } else if (m_next >= m_keys.size() && m_contestadas == m_keys.size()) {
        termina(true);
    }
}

void PollPass::tick() {
    if (!m_activo) return;
    const qint64 now = ahora();
    if (m_next < m_keys.size()) {
        if (now - m_enviadaMs >= kEsperaMs)
            envia();
        else
            arma(m_enviadaMs + kEsperaMs);
    } else if (now - m_enviadaMs >= kCierreMs) {
        termina(true);
    } else if (enLinea && !enLinea()) {
        termina(false);
    } else {
        arma(m_enviadaMs + kCierreMs);
    }
}
