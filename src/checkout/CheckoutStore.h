// Checkout.csv in the project folder: one record per point checked (or
// pre-checked by `pilmora poll --record`), with the evidence taken from the
// link when it was marked. The file is the only truth: every change reads it
// again, merges, and replaces it whole (temporary file, then rename), so two
// programs marking at the same time lose nothing and a crash leaves the old
// file or the new one.
//
// UTF-8 with a byte-order mark, "," between fields, quoted as the spreadsheet
// export quotes; fixed English captions (the file is the same whatever the
// language of the program that wrote it); times in ISO 8601 with their offset.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

enum class EstadoCheckout { SinComprobar, Contestado, Correcto, Fallido, NoAplica };
inline constexpr int kEstadosCheckout = 5;

// The word the file stores, and the state a word stands for (false: none).
QString palabraEstado(EstadoCheckout e);
bool estadoDePalabra(const QString& word, EstadoCheckout* e);
// The state as the user reads it, from the language file.
QString textoEstado(EstadoCheckout e);
// OK, failed and not applicable are a person's verdict; "answered" is the machine's.
inline bool esVeredicto(EstadoCheckout e) {
    return e == EstadoCheckout::Correcto || e == EstadoCheckout::Fallido || e == EstadoCheckout::NoAplica;
}

struct CheckoutRecord {
    // Key: the address and what stands behind it.
    int direccion = 0;
    QString identidad;   // device/SNVT/NV index/offset, or unit/property
    QString definicion;  // data type, scaling, access, direction, A/D
    QString descripcion;
    EstadoCheckout estado = EstadoCheckout::SinComprobar;
    // Evidence: the value last reported and when; for a point written from the
    // viewer, the value written and the gateway's answer to it.
    QString valor;
    QDateTime informe;
    QString escrito;
    QDateTime escritura;
    QString eco;
    QDateTime ecoHora;
    QString nota;
    QDateTime hora;  // when it was marked
    QString usuario;

    QString clave() const;
};

// ISO 8601 with the offset from UTC ("2026-12-07T01:05:00+01:00"); empty for none.
QString horaIso(const QDateTime& t);
// The user logged in, as the system names them.
QString nombreUsuario();

class CheckoutStore {
public:
    static constexpr const char* kFichero = "Checkout.csv";
    // The file of a project folder.
    static QString rutaEn(const QString& folder);

    void setRuta(const QString& path) { m_ruta = path; }
    QString ruta() const { return m_ruta; }

    // Reads the file (none yet: no records). False with the reason in *error
    // when it cannot be read; the records are then left as they were.
    bool carga(QString* error);
    // Reads it again only when it changed on disk since it was last read or
    // written (another program marking beside this one).
    bool recargaSiCambio(QString* error);
    // Merges `cambios` into what the file holds now and writes it back. A
    // change older than the record on disk is dropped; a machine mark
    // ("answered") never replaces a person's verdict. False with the reason
    // when the file cannot be read or written: then nothing changed on disk.
    bool aplica(const QVector<CheckoutRecord>& cambios, QString* error);

    const QHash<QString, CheckoutRecord>& registros() const { return m_registros; }
    // Grows at every read and write: the records may have changed.
    int generacion() const { return m_generacion; }
    const CheckoutRecord* registro(const QString& clave) const;

    // The file's bytes for a set of records, and the records of file bytes.
    static QByteArray codifica(const QHash<QString, CheckoutRecord>& registros);
    static bool decodifica(const QByteArray& bytes, QHash<QString, CheckoutRecord>* out, QString* error);

private:
    bool leeDisco(QHash<QString, CheckoutRecord>* out, QString* error);
    QString m_ruta;
    QHash<QString, CheckoutRecord> m_registros;
    QDateTime m_leido;  // modification time of the file as last read or written
    qint64 m_tamanyo = -1;
    int m_generacion = 0;
};
