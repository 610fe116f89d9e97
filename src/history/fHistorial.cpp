#include "fHistorial.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "DownloadHistory.h"
#include "mIdioma.h"

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
        auto* item = new QTreeWidgetItem(rows[i].cells());
        if (rows[i].result != QLatin1String(HistoryResult::kSucces)) item->setForeground(1, QBrush(Qt::darkRed));
        lvwHistorial->addTopLevelItem(item);
    }
    for (int c = 0; c < lvwHistorial->columnCount(); ++c) lvwHistorial->resizeColumnToContents(c);
    layout->addWidget(lvwHistorial);

    cmdCerrar = new QPushButton(Texto("cmdCerrar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    cmdCerrar->setDefault(true);
    connect(cmdCerrar, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCerrar);
    layout->addLayout(buttons);
    resize(1000, 420);
}
