#include "fHistorial.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "DownloadHistory.h"
#include "mIdioma.h"

QPushButton* filaCerrar(QDialog* dialog, QVBoxLayout* layout) {
    auto* cmdCerrar = new QPushButton(Texto("cmdCerrar"), dialog);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    cmdCerrar->setDefault(true);
    QObject::connect(cmdCerrar, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCerrar);
    layout->addLayout(buttons);
    return cmdCerrar;
}

fHistorial::fHistorial(const QString& projectFolder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fHistorial"));
    setWindowTitle(Texto("HistTitulo") + QStringLiteral(" - ") + app().NombreProyecto);
    auto* layout = new QVBoxLayout(this);

    QVector<HistoryRow> rows;
    QString error;
    const bool read = readHistory(projectFolder, &rows, &error);
    if (!read || rows.isEmpty()) {
        auto* note = new QLabel(read ? Texto("HistVacio") : error, this);
        note->setObjectName(QStringLiteral("lblHistorial"));
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    lvwHistorial = new QTreeWidget(this);
    lvwHistorial->setObjectName(QStringLiteral("lvwHistorial"));
    lvwHistorial->setRootIsDecorated(false);
    lvwHistorial->setAlternatingRowColors(true);
    lvwHistorial->setHeaderLabels(Texto("HistColumnas").split(QLatin1Char('|')));
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const QStringList cells = rows[i].shownCells();
        auto* item = new QTreeWidgetItem(cells);
        for (int c = 0; c < cells.size(); ++c) item->setToolTip(c, cells[c]);
        if (rows[i].result != QLatin1String(HistoryResult::kSucces)) item->setForeground(1, QBrush(Qt::darkRed));
        lvwHistorial->addTopLevelItem(item);
    }
    // Every column in view on a usual screen: the long texts (the gateway's
    // answer, the description, the copy's name) give way, their tool tips hold them whole.
    const int longest = fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24;
    for (int c = 0; c < lvwHistorial->columnCount(); ++c) {
        lvwHistorial->resizeColumnToContents(c);
        if (c >= 6 && lvwHistorial->columnWidth(c) > longest) lvwHistorial->setColumnWidth(c, longest);
    }
    layout->addWidget(lvwHistorial);

    cmdCerrar = filaCerrar(this, layout);
    resize(1240, 420);
}
