#include "CommandHistory.h"

#include "ModulINI.h"
#include "Startup.h"

namespace {
const QString kSeccion = QStringLiteral("Comandos");
QString clave(int i) { return QStringLiteral("Comando%1").arg(i + 1); }
}  // namespace

void CommandHistory::load() {
    m_recent.clear();
    for (int i = 0; i < kMax; ++i) {
        const QString c = LeeIniAplicacion(kSeccion, clave(i), QString()).trimmed();
        if (!c.isEmpty() && !m_recent.contains(c)) m_recent << c;
    }
}

bool CommandHistory::remember(const QString& command) {
    const QString c = command.trimmed();
    if (c.isEmpty() || ComandosConsola().contains(c)) return false;
    if (!m_recent.isEmpty() && m_recent.first() == c) return false;
    m_recent.removeAll(c);
    m_recent.prepend(c);
    while (m_recent.size() > kMax) m_recent.removeLast();
    save();
    return true;
}

void CommandHistory::save() const {
    IniBatch batch;
    for (int i = 0; i < kMax; ++i) EscribeIniAplicacion(kSeccion, clave(i), i < m_recent.size() ? m_recent[i] : QString());
}
