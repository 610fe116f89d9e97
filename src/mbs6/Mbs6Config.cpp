#include "Mbs6Config.h"

#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {
const QString kSecMbs6 = QStringLiteral("MBS6");

QString unitKey(int n, const char* suffix) { return QLatin1Char('D') + QString::number(n) + QLatin1String(suffix); }
}  // namespace

const QStringList& Mbs6Config::baudItems() {
    static const QStringList l{"1200", "2400", "4800", "9600", "19200", "38400", "57600"};
    return l;
}

QString Mbs6Config::captionText() {
    return QStringLiteral("MBS6 ") + Texto("Configuracion") + QStringLiteral(" - Max.MBS6 ") + Texto("Dispositivos") +
           QLatin1Char(':') + QString::number(kUnits) + QStringLiteral(" Max.Regs.ASCII:") +
           QString::number(kMaxAddress);
}

QString Mbs6Config::unitListText(int n) { return Texto("Dispositivo") + QString::number(n); }

Mbs6Unit Mbs6Config::unit(int n) const { return (n >= 1 && n <= Maquinas.size()) ? Maquinas[n - 1] : Mbs6Unit(); }

Mbs6Unit* Mbs6Config::unitPtr(int n) { return (n >= 1 && n <= Maquinas.size()) ? &Maquinas[n - 1] : nullptr; }


void Mbs6Config::Carga_ConfMbs6() {
    loading = true;
    TimeoutPoll = LeeIni(kSecMbs6, QStringLiteral("TimeoutPoll"), QStringLiteral("1000"));
    Maquinas = QVector<Mbs6Unit>(kUnits);
    for (int n = 1; n <= kUnits; ++n) {
        Mbs6Unit& u = Maquinas[n - 1];
        u.On = LeeIniEntero(kSecMbs6, unitKey(n, "-On"), 0) != 0;
        u.Nm = LeeIni(kSecMbs6, unitKey(n, "-Nm"), QString());
    }
    currentUnit = 1;
    readSerialKeys(baudItems());
    connectionChanged = false;
    gridChanged = false;
    loading = false;
}

void Mbs6Config::Graba_ConfMbs6() const {
    EscribeIni(kSecMbs6, QStringLiteral("TimeoutPoll"), TimeoutPoll);
    for (int n = 1; n <= Maquinas.size(); ++n) {
        const Mbs6Unit& u = Maquinas[n - 1];
        EscribeIni(kSecMbs6, unitKey(n, "-On"), u.On ? QStringLiteral("1") : QStringLiteral("0"));
        EscribeIni(kSecMbs6, unitKey(n, "-Nm"), u.Nm);
    }
    writeSerialKeys(baudItems());
}

QString Mbs6Config::leaveUnitName(const QString& text) {
    const QString t = text.trimmed();
    Mbs6Unit* u = unitPtr(currentUnit);
    if (u && u->Nm != t) {
        u->Nm = t;
        markConnectionChanged();
    }
    return t;
}

bool Valida_ConfMbs6(const Mbs6Config& cfg) {
    const double poll = Val(cfg.TimeoutPoll);
    if (poll >= 0 && poll <= Mbs6Config::kMaxTimeoutPoll) return true;
    Aviso(Texto("TimeoutPollFueraDeRango") + cfg.TimeoutPoll);
    return false;
}
