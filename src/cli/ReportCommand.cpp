#include "ReportCommand.h"

#include <cstdio>
#include <cstring>

#include "AnsiText.h"
#include "HandoverReport.h"
#include "PdfReport.h"
#include "mIdioma.h"

namespace {
void line(std::FILE* f, const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fputs((t + QLatin1Char('\n')).toLocal8Bit().constData(), f);
}
}  // namespace

QStringList reportUsage() {
    return {QStringLiteral("  pilmora [--home DIR] report PROJECT_DIR [--pdf FILE] [--html FILE] [--points FILE.csv]"),
            QStringLiteral("      ") + Texto("PilmoraAyudaReport")};
}

bool reportWantsPdf(int argc, char** argv) {
    bool report = false;
    for (int i = 1; i < argc; ++i) {
        report = report || std::strcmp(argv[i], "report") == 0;
        if (report && std::strncmp(argv[i], "--pdf", 5) == 0) return true;
    }
    return false;
}

int runReport(const QStringList& args) {
    QString project, pdf, html, points, wrong;
    for (int i = 0; i < args.size() && wrong.isEmpty(); ++i) {
        const QString& a = args[i];
        bool matched = false;
        for (auto [name, out] : {std::pair{"--pdf", &pdf}, {"--html", &html}, {"--points", &points}}) {
            const QString n = QString::fromLatin1(name);
            if (a == n && i + 1 < args.size())
                *out = args[++i];
            else if (a.startsWith(n + QLatin1Char('=')))
                *out = a.mid(n.size() + 1);
            else if (a == n)
                wrong = n;
            else
                continue;
            matched = true;
            if (out->isEmpty()) wrong = n;
        }
        if (matched) continue;
        if ((a.startsWith(QLatin1Char('-')) && a.size() > 1) || !project.isEmpty())
            wrong = a;
        else
            project = a;
    }
    if (wrong.isEmpty() && (project.isEmpty() || (pdf.isEmpty() && html.isEmpty() && points.isEmpty())))
        wrong = args.join(QLatin1Char(' '));
    if (!wrong.isEmpty()) {
        line(stderr, Texto("PilmoraErrorUso") + wrong);
        for (const QString& u : reportUsage()) line(stderr, u);
        return 2;
    }
    HandoverReport r;
    QString error;
    bool ok = r.lee(project, &error);
    if (ok && !points.isEmpty())
        ok = escribePuntosCsv(r, points, &error) && (line(stdout, Texto("InformeEscrito") + points), true);
    if (ok && !html.isEmpty())
        ok = escribeFichero(html, r.html().toUtf8(), &error) && (line(stdout, Texto("InformeEscrito") + html), true);
    if (ok && !pdf.isEmpty()) ok = escribePdf(r, pdf, &error) && (line(stdout, Texto("InformeEscrito") + pdf), true);
    if (!ok) line(stderr, error);
    return ok ? 0 : 1;
}
