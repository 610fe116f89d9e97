#include "CheckoutStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

#include "AnsiText.h"
#include "SignalCsv.h"
#include "mIdioma.h"

namespace {
// File captions, in file order.
enum Col {
    Address,
    Device,
    Number,
    NvIndex,
    Offset,
    Point,
    Description,
    State,
    Value,
    Reported,
    Written,
    WrittenAt,
    Echo,
    EchoAt,
    Note,
    CheckedAt,
    User,
    kCols
};
const char* const kCaptions[kCols] = {"Address",     "Device",  "Number", "NV index",   "Offset",  "Point",
                                      "Description", "State",   "Value",  "Reported",   "Written", "Written at",
                                      "Echo",        "Echo at", "Note",   "Checked at", "User"};
const char* const kPalabras[kEstadosCheckout] = {"not checked", "answered", "OK", "failed", "n/a"};
const char* const kClavesTexto[kEstadosCheckout] = {"CheckoutSinComprobar", "CheckoutContestado", "CheckoutCorrecto",
                                                    "CheckoutFallido", "CheckoutNoAplica"};

QDateTime leeHora(const QString& text) { return QDateTime::fromString(text, Qt::ISODate); }
}  // namespace

QString palabraEstado(EstadoCheckout e) { return QString::fromLatin1(kPalabras[int(e)]); }

bool estadoDePalabra(const QString& word, EstadoCheckout* e) {
    for (int i = 0; i < kEstadosCheckout; ++i)
        if (word.trimmed().compare(QLatin1String(kPalabras[i]), Qt::CaseInsensitive) == 0) {
            *e = EstadoCheckout(i);
            return true;
        }
    return false;
}

QString textoEstado(EstadoCheckout e) { return Texto(kClavesTexto[int(e)]); }

QString CheckoutRecord::clave() const {
    return QString::number(direccion) + QLatin1Char('|') + identidad + QLatin1Char('|') + definicion;
}

QString horaIso(const QDateTime& t) {
    if (!t.isValid()) return QString();
    // Written by hand, and the last two instants remembered: the file is
    // rewritten whole at each mark, each record's report time beside one
    // marking's time, and QDateTime::toString costs several times the rest.
    struct Memo {
        QDateTime at;
        QString text;
    };
    static thread_local Memo memo[2];
    static thread_local int older = 0;
    for (int i = 0; i < 2; ++i)
        if (memo[i].at.isValid() && t.timeSpec() == memo[i].at.timeSpec() && t == memo[i].at) {
            older = 1 - i;
            return memo[i].text;
        }
    const int offset = t.offsetFromUtc();
    const QDateTime at = t.toOffsetFromUtc(offset);
    const QDate d = at.date();
    const QTime h = at.time();
    if (d.year() < 0 || d.year() > 9999) return at.toString(Qt::ISODate);
    char b[96];
    int n = std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02d", d.year(), d.month(), d.day(), h.hour(),
                          h.minute(), h.second());
    if (offset == 0)
        b[n++] = 'Z', b[n] = 0;
    else
        std::snprintf(b + n, sizeof b - size_t(n), "%c%02d:%02d", offset < 0 ? '-' : '+', qAbs(offset) / 3600,
                      qAbs(offset) / 60 % 60);
    Memo& m = memo[older];
    older = 1 - older;
    m.at = t;
    m.text = QString::fromLatin1(b);
    return m.text;
}

QString nombreUsuario() {
    for (const char* v : {"USERNAME", "USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(v).trimmed();
        if (!name.isEmpty()) return name;
    }
    // Without a name in the environment, the home folder is named after the user.
    const QString home = QDir::home().dirName();
    return home.isEmpty() ? QStringLiteral("?") : home;
}

QString CheckoutStore::rutaEn(const QString& folder) { return QDir(folder).filePath(QLatin1String(kFichero)); }

QByteArray CheckoutStore::codifica(const QHash<QString, CheckoutRecord>& registros) {
    QVector<const CheckoutRecord*> rows;
    rows.reserve(registros.size());
    for (const CheckoutRecord& r : registros) rows.append(&r);
    std::sort(rows.begin(), rows.end(), [](const CheckoutRecord* x, const CheckoutRecord* y) {
        return x->direccion != y->direccion ? x->direccion < y->direccion : x->clave() < y->clave();
    });
    QVector<QStringList> records;
    records.reserve(rows.size() + 1);
    QStringList captions;
    for (const char* c : kCaptions) captions << QString::fromLatin1(c);
    records.append(captions);
    for (const CheckoutRecord* r : rows) {
        QStringList f(kCols);
        const QStringList id = r->identidad.split(QLatin1Char('/'));
        f[Address] = QString::number(r->direccion);
        for (int i = 0; i < 4; ++i) f[Device + i] = id.value(i);
        f[Point] = r->definicion;
        f[Description] = r->descripcion;
        f[State] = palabraEstado(r->estado);
        f[Value] = r->valor;
        f[Reported] = horaIso(r->informe);
        f[Written] = r->escrito;
        f[WrittenAt] = horaIso(r->escritura);
        f[Echo] = r->eco;
        f[EchoAt] = horaIso(r->ecoHora);
        f[Note] = r->nota;
        f[CheckedAt] = horaIso(r->hora);
        f[User] = r->usuario;
        records.append(f);
    }
    return csvEncode(records, QLatin1Char(','));
}

bool CheckoutStore::decodifica(const QByteArray& bytes, QHash<QString, CheckoutRecord>* out, QString* error) {
    out->clear();
    CsvRecords in;
    if (!csvDecode(bytes, &in, error)) return false;
    QVector<int> at(kCols, -1);
    for (int i = 0; i < in.records[0].size(); ++i)
        for (int c = 0; c < kCols; ++c)
            if (in.records[0][i].trimmed().compare(QLatin1String(kCaptions[c]), Qt::CaseInsensitive) == 0) at[c] = i;
    for (int c : {Address, State})
        if (at[c] < 0) {
            *error = Texto("CheckoutSinColumna") + QLatin1String(kCaptions[c]);
            return false;
        }
    for (int r = 1; r < in.records.size(); ++r) {
        const QStringList& f = in.records[r];
        if (csvBlankRecord(f)) continue;
        auto cell = [&](int c) { return at[c] < 0 ? QString() : f.value(at[c]).trimmed(); };
        CheckoutRecord x;
        bool ok = false;
        x.direccion = cell(Address).toInt(&ok);
        if (!ok || !estadoDePalabra(cell(State), &x.estado)) {
            *error = csvPlace(in.numbers.value(r), QLatin1String(kCaptions[ok ? State : Address])) +
                     cell(ok ? State : Address);
            return false;
        }
        QStringList id{cell(Device), cell(Number)};
        if (!cell(NvIndex).isEmpty() || !cell(Offset).isEmpty()) id << cell(NvIndex) << cell(Offset);
        x.identidad = id.join(QLatin1Char('/'));
        x.definicion = cell(Point);
        x.descripcion = f.value(at[Description]);
        x.valor = cell(Value);
        x.informe = leeHora(cell(Reported));
        x.escrito = cell(Written);
        x.escritura = leeHora(cell(WrittenAt));
        x.eco = cell(Echo);
        x.ecoHora = leeHora(cell(EchoAt));
        x.nota = at[Note] < 0 ? QString() : f.value(at[Note]);
        x.hora = leeHora(cell(CheckedAt));
        x.usuario = cell(User);
        out->insert(x.clave(), x);
    }
    return true;
}

bool CheckoutStore::leeDisco(QHash<QString, CheckoutRecord>* out, QString* error) {
    QFile f(m_ruta);
    const QFileInfo info(m_ruta);
    if (!info.exists()) {
        out->clear();
        m_leido = QDateTime();
        m_tamanyo = -1;
        return true;
    }
    QString why;
    if (!f.open(QIODevice::ReadOnly))
        why = f.errorString();
    else if (f.size() > kCsvMaxBytes)
        why = Texto("CheckoutDemasiadoGrande");
    if (why.isEmpty() && decodifica(f.readAll(), out, &why)) {
        m_leido = info.lastModified();
        m_tamanyo = info.size();
        return true;
    }
    *error = Texto("CheckoutNoLeido") + QLatin1Char('\r') + m_ruta + QLatin1Char('\r') + why;
    return false;
}

bool CheckoutStore::carga(QString* error) {
    QHash<QString, CheckoutRecord> read;
    if (!leeDisco(&read, error)) return false;
    m_registros = std::move(read);
    ++m_generacion;
    return true;
}

bool CheckoutStore::recargaSiCambio(QString* error) {
    const QFileInfo info(m_ruta);
    if (info.exists() ? info.lastModified() == m_leido && info.size() == m_tamanyo : !m_leido.isValid()) return true;
    return carga(error);
}

const CheckoutRecord* CheckoutStore::registro(const QString& clave) const {
    const auto it = m_registros.constFind(clave);
    return it == m_registros.constEnd() ? nullptr : &*it;
}

bool CheckoutStore::aplica(const QVector<CheckoutRecord>& cambios, QString* error) {
    QHash<QString, CheckoutRecord> disk;
    if (!leeDisco(&disk, error)) return false;
    for (const CheckoutRecord& c : cambios) {
        const QString key = c.clave();
        const auto it = disk.constFind(key);
        if (it != disk.constEnd()) {
            if (c.estado == EstadoCheckout::Contestado && esVeredicto(it->estado)) continue;
            if (it->hora.isValid() && c.hora.isValid() && it->hora > c.hora) continue;
        }
        disk.insert(key, c);
    }
    if (!escribeFichero(m_ruta, codifica(disk), error)) return false;
    const QFileInfo info(m_ruta);
    m_leido = info.lastModified();
    m_tamanyo = info.size();
    m_registros = std::move(disk);
    ++m_generacion;
    return true;
}
