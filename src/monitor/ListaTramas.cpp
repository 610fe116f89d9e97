#include "ListaTramas.h"

#include <QDateTime>

ListaTramas::ListaTramas(QObject* parent) : QAbstractListModel(parent) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kIntervaloMs);
    connect(&m_timer, &QTimer::timeout, this, &ListaTramas::vuelca);
}

void ListaTramas::agrega(const QString& linea) {
    m_pendientes.append(Linea{QDateTime::currentMSecsSinceEpoch(), linea});
    // Lines that would be cut anyway are dropped before they are ever listed.
    if (m_pendientes.size() > kMaxLineas) m_pendientes.removeFirst();
    if (!m_timer.isActive()) m_timer.start();
}

void ListaTramas::vuelca() {
    m_timer.stop();
    if (m_pendientes.isEmpty()) return;
    const int quita = qMin(int(m_lineas.size()), int(m_lineas.size() + m_pendientes.size()) - kMaxLineas);
    if (quita > 0) {
        beginRemoveRows(QModelIndex(), 0, quita - 1);
        m_lineas.remove(0, quita);
        endRemoveRows();
    }
    const int desde = int(m_lineas.size());
    beginInsertRows(QModelIndex(), desde, desde + int(m_pendientes.size()) - 1);
    m_lineas.append(m_pendientes);
    m_pendientes.clear();
    endInsertRows();
    ++m_lotes;
    emit volcado();
}

void ListaTramas::borra() {
    m_timer.stop();
    m_pendientes.clear();
    beginResetModel();
    m_lineas.clear();
    endResetModel();
}

void ListaTramas::setConHora(bool on) {
    if (on == m_conHora) return;
    m_conHora = on;
    if (!m_lineas.isEmpty()) emit dataChanged(index(0), index(int(m_lineas.size()) - 1), {Qt::DisplayRole});
}

QString ListaTramas::linea(int row) const {
    if (row < 0 || row >= m_lineas.size()) return QString();
    const Linea& l = m_lineas[row];
    if (!m_conHora) return l.texto;
    return QDateTime::fromMSecsSinceEpoch(l.ms).time().toString(QStringLiteral("hh:mm:ss.zzz ")) + l.texto;
}

QStringList ListaTramas::lineas() const {
    QStringList out;
    out.reserve(m_lineas.size());
    for (int i = 0; i < m_lineas.size(); ++i) out << linea(i);
    return out;
}

int ListaTramas::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_lineas.size()); }

QVariant ListaTramas::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || index.column() != 0) return QVariant();
    return linea(index.row());
}
