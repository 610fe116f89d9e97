#include "PdfReport.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextLayout>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "HandoverReport.h"
#include "mIdioma.h"

namespace {
// A word longer than its column breaks inside itself rather than run over the next one.
QTextOption envoltura() {
    QTextOption o;
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return o;
}

qreal altoEnvuelto(const QString& text, const QFont& font, QPaintDevice* device, qreal room) {
    QTextLayout layout(text, font, device);
    layout.setTextOption(envoltura());
    qreal h = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        h += line.height();
    }
    layout.endLayout();
    return h;
}

QFont negrita(QFont f) {
    f.setBold(true);
    return f;
}

// What goes where: the cover is laid out by the text document; the tables,
// thousands of rows long, are measured and drawn row by row (a text document
// takes seconds to lay out a table of that size).
struct Pieza {
    enum Tipo { Titulo, Texto, Cabecera, Fila } tipo;
    int seccion, fila;  // fila: row of the section (Fila)
    int pagina;
    qreal y, alto;
    quint32 partidas;  // cells that wrap (bit per column)
};

class Maqueta {
public:
    Maqueta(QPdfWriter& pdf, const QFont& font)
        : m_font(font),
          m_bold(negrita(font)),
          m_title(negrita(font)),
          m_fm(font, &pdf),
          m_fmBold(m_bold, &pdf),
          m_device(&pdf) {
        m_title.setPointSizeF(font.pointSizeF() * 1.4);
        m_pad = m_fm.height() * 0.2;
        m_ancho = pdf.width();
    }

    // Places every section from page `pagina` on; returns the number of pages used in all.
    int coloca(const QVector<SeccionInforme>& secciones, int pagina, qreal alto) {
        m_alto = alto;
        m_pagina = pagina;
        m_y = 0;
        for (int s = 0; s < secciones.size(); ++s) {
            const SeccionInforme& x = secciones[s];
            anchos(x);
            if (x.nuevaPagina && m_y > 0) salto();
            // A heading keeps its captions and first row with it.
            if (!x.titulo.isEmpty()) pon({Pieza::Titulo, s, -1, 0, 0, m_tituloAlto, 0}, 3 * m_fm.height());
            if (x.cabecera.isEmpty()) {
                pon({Pieza::Texto, s, -1, 0, 0, m_fm.height() * 1.5, 0}, 0);
                continue;
            }
            const Pieza head = medida(Pieza::Cabecera, s, -1, x.cabecera);
            pon(head, head.alto * 2);
            for (int r = 0; r < x.filas.size(); ++r) {
                const Pieza row = medida(Pieza::Fila, s, r, x.filas[r]);
                if (m_y + row.alto > m_alto) salto(), pon(head, 0);  // the captions again on every page
                pon(row, 0);
            }
            m_y += m_fm.height();
        }
        return m_pagina + 1;
    }

    void dibuja(QPainter& p, const QVector<SeccionInforme>& secciones, const Pieza& x) const {
        const SeccionInforme& s = secciones[x.seccion];
        if (x.tipo == Pieza::Titulo) {
            p.setFont(m_title);
            p.drawText(QPointF(0, x.y + QFontMetricsF(m_title, p.device()).ascent()), s.titulo);
            p.setFont(m_font);
            return;
        }
        if (x.tipo == Pieza::Texto) {
            p.drawText(QPointF(0, x.y + m_fm.ascent()), s.texto);
            return;
        }
        const QStringList& cells = x.tipo == Pieza::Cabecera ? s.cabecera : s.filas[x.fila];
        const QVector<qreal>& w = m_anchosDe[x.seccion];
        if (x.tipo == Pieza::Cabecera) {
            p.fillRect(QRectF(0, x.y, m_ancho, x.alto), QColor(224, 224, 224));
            p.setFont(m_bold);
        }
        qreal left = 0;
        for (int c = 0; c < cells.size() && c < w.size(); ++c) {
            const QRectF box(left + m_pad, x.y + m_pad, w[c] - 2 * m_pad, x.alto);
            if (x.partidas & (1u << c))
                p.drawText(box, cells[c], envoltura());
            else
                p.drawText(QPointF(box.left(), box.top() + m_fm.ascent()), cells[c]);
            left += w[c];
        }
        p.setFont(m_font);
        p.setPen(QColor(160, 160, 160));
        p.drawLine(QPointF(0, x.y + x.alto), QPointF(m_ancho, x.y + x.alto));
        p.setPen(Qt::black);
    }

    QVector<Pieza> piezas;
    QVector<QVector<qreal>> m_anchosDe;  // column widths of each section
    qreal m_tituloAlto = 0;

private:
    void anchos(const SeccionInforme& s) {
        const qreal margen = 2 * m_pad + 1;
        m_anchosDe.append(anchosColumnas(s.cabecera, s.pesos, m_ancho, [this, margen](const QString& w) {
            return m_fmBold.horizontalAdvance(w) + margen;
        }));
    }
    Pieza medida(Pieza::Tipo tipo, int s, int fila, const QStringList& cells) {
        const QVector<qreal>& w = m_anchosDe[s];
        const QFont& font = tipo == Pieza::Cabecera ? m_bold : m_font;
        const QFontMetricsF& fm = tipo == Pieza::Cabecera ? m_fmBold : m_fm;
        qreal h = fm.height();
        quint32 wrap = 0;
        for (int c = 0; c < cells.size() && c < w.size() && c < 32; ++c) {
            const qreal room = w[c] - 2 * m_pad;
            // Most cells fit on one line; only the others are laid out.
            if (cells[c].isEmpty() || fm.horizontalAdvance(cells[c]) <= room) continue;
            wrap |= 1u << c;
            h = qMax(h, altoEnvuelto(cells[c], font, m_device, room));
        }
        return {tipo, s, fila, 0, 0, h + 2 * m_pad, wrap};
    }
    // Places `x`, on a new page when it and `junto` (what must follow it on the same page) do not fit.
    void pon(Pieza x, qreal junto) {
        if (m_y > 0 && m_y + x.alto + junto > m_alto) salto();
        x.pagina = m_pagina;
        x.y = m_y;
        m_y += x.alto;
        piezas.append(x);
    }
    void salto() {
        ++m_pagina;
        m_y = 0;
    }

    QFont m_font, m_bold, m_title;
    QFontMetricsF m_fm, m_fmBold;  // the cells', the captions' (bold)
    QPaintDevice* m_device;
    qreal m_pad = 0, m_ancho = 0, m_alto = 0, m_y = 0;
    int m_pagina = 0;
};
}  // namespace

QVector<qreal> anchosColumnas(const QStringList& cabecera, const QVector<int>& pesos, qreal ancho,
                              const std::function<qreal(const QString&)>& medida) {
    QVector<qreal> w;
    int total = 0;
    for (int x : pesos) total += x;
    for (int x : pesos) w.append(total > 0 ? ancho * x / total : 0);
    // Every word of a caption fits its column; the room comes from the columns with room to spare.
    QVector<qreal> need(w.size());
    qreal falta = 0, sobra = 0;
    for (int c = 0; c < w.size(); ++c) {
        for (const QString& word : cabecera.value(c).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            need[c] = qMax(need[c], medida(word));
        if (w[c] < need[c])
            falta += need[c] - w[c];
        else
            sobra += w[c] - need[c];
    }
    if (falta > 0 && sobra > falta)
        for (int c = 0; c < w.size(); ++c) w[c] = w[c] < need[c] ? need[c] : w[c] - (w[c] - need[c]) * falta / sobra;
    return w;
}

bool escribePdf(const HandoverReport& r, const QString& path, QString* error) {
    // Drawn in memory, then written whole or not at all.
    QByteArray bytes;
    QBuffer file(&bytes);
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(Texto("InformeTitulo") + QStringLiteral(" - ") + r.proyecto);
        pdf.setCreator(QString::fromLatin1(kAppTitle) + QLatin1Char(' ') + r.version);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
        pdf.setResolution(300);

        QFont font;
        font.setPointSizeF(8);
        // No ligatures: text copied or extracted from the PDF reads as typed ("flow", not a joined "fl").
        font.setStyleStrategy(QFont::PreferNoShaping);
        const QFontMetricsF metrics(font, &pdf);
        const qreal footer = metrics.height() * 2.5;
        const QSizeF body(pdf.width(), pdf.height() - footer);

        QTextDocument cover;
        cover.documentLayout()->setPaintDevice(&pdf);
        cover.setDefaultFont(font);
        cover.setDefaultStyleSheet(QStringLiteral("th{background-color:#e0e0e0;text-align:left}"));
        cover.setHtml(r.htmlPortada());
        cover.setPageSize(body);
        const int coverPages = cover.pageCount();

        const QVector<SeccionInforme> sections = r.secciones();
        Maqueta layout(pdf, font);
        QFont title = font;
        title.setBold(true);
        title.setPointSizeF(font.pointSizeF() * 1.4);
        layout.m_tituloAlto = QFontMetricsF(title, &pdf).height() * 1.6;
        const int pages = layout.coloca(sections, coverPages, body.height());

        QPainter painter;
        if (!painter.begin(&pdf)) {  // nothing to draw on: no file written
            *error = Texto("NoSePuedeGrabar") + QLatin1Char('\r') + path;
            return false;
        }
        painter.setFont(font);
        const QString pie = r.pie() + QStringLiteral("  \u00b7  ") + Texto("InformePagina");
        auto foot = [&](int page) {
            painter.setPen(Qt::darkGray);
            painter.drawLine(QPointF(0, body.height() + footer * 0.3),
                             QPointF(body.width(), body.height() + footer * 0.3));
            painter.drawText(QRectF(0, body.height() + footer * 0.4, body.width(), footer * 0.6), Qt::AlignRight,
                             pie + QString::number(page + 1) + QStringLiteral(" / ") + QString::number(pages));
            painter.setPen(Qt::black);
        };
        for (int p = 0; p < coverPages; ++p) {
            if (p > 0) pdf.newPage();
            painter.save();
            painter.translate(0, -p * body.height());
            cover.drawContents(&painter, QRectF(0, p * body.height(), body.width(), body.height()));
            painter.restore();
            foot(p);
        }
        int page = coverPages - 1;
        for (const Pieza& x : layout.piezas) {
            while (page < x.pagina) pdf.newPage(), foot(++page);
            layout.dibuja(painter, sections, x);
        }
        painter.end();
    }
    return escribeFichero(path, bytes, error);
}

bool escribeInforme(const QString& folder, const QString& path, QString* error) {
    HandoverReport r;
    if (!r.lee(folder, error)) return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return escribeFichero(path, r.html().toUtf8(), error);
    return escribePdf(r, path, error);
}

namespace {
QtMessageHandler previo = nullptr;
// Without a session (no XDG_RUNTIME_DIR, as under env -i) Qt warns of the
// runtime folder it then uses; a report has nothing to do with it.
void filtraAvisos(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: "))) return;
    if (previo) previo(type, context, text);
}
}  // namespace

std::unique_ptr<QCoreApplication> aplicacionSinPantalla(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    previo = qInstallMessageHandler(filtraAvisos);
    return std::make_unique<QGuiApplication>(argc, argv);
}
