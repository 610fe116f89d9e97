#include "PdfReport.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include "AppGlobals.h"
#include "HandoverReport.h"
#include "mIdioma.h"

bool escribePdf(const HandoverReport& r, const QString& path, QString* error) {
    // Into a temporary file beside the target, renamed over it at the end.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = Texto("NoSePuedeGrabar") + QLatin1Char('\r') + path + QLatin1Char('\r') + file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(Texto("InformeTitulo") + QStringLiteral(" - ") + r.proyecto);
        pdf.setCreator(QString::fromLatin1(kAppTitle) + QLatin1Char(' ') + r.version);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
        pdf.setResolution(300);

        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&pdf);
        QFont font = doc.defaultFont();
        font.setPointSizeF(8);
        // No ligatures: text copied or extracted from the PDF reads as typed ("flow", not a joined "fl").
        font.setStyleStrategy(QFont::PreferNoShaping);
        doc.setDefaultFont(font);
        doc.setHtml(r.html());
        const QFontMetricsF metrics(font, &pdf);
        const qreal footer = metrics.height() * 2.5;
        const QRectF body(0, 0, pdf.width(), pdf.height() - footer);
        doc.setPageSize(body.size());
        const int pages = doc.pageCount();

        QPainter painter;
        if (!painter.begin(&pdf)) {
            *error = Texto("NoSePuedeGrabar") + QLatin1Char('\r') + path;
            return false;
        }
        painter.setFont(font);
        const QString pie = r.pie() + QStringLiteral("  \u00b7  ") + Texto("InformePagina");
        for (int p = 0; p < pages; ++p) {
            if (p > 0) pdf.newPage();
            painter.save();
            painter.translate(0, -p * body.height());
            doc.drawContents(&painter, QRectF(0, p * body.height(), body.width(), body.height()));
            painter.restore();
            painter.setPen(Qt::darkGray);
            painter.drawLine(QPointF(0, body.height() + footer * 0.3),
                             QPointF(body.width(), body.height() + footer * 0.3));
            painter.drawText(QRectF(0, body.height() + footer * 0.4, body.width(), footer * 0.6), Qt::AlignRight,
                             pie + QString::number(p + 1) + QStringLiteral(" / ") + QString::number(pages));
        }
        painter.end();
    }
    if (!file.commit()) {
        *error = Texto("NoSePuedeGrabar") + QLatin1Char('\r') + path + QLatin1Char('\r') + file.errorString();
        return false;
    }
    return true;
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
