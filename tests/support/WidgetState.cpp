#include "WidgetState.h"

#include <QtCharts>
#include <QtWidgets>

#include "TestSupport.h"

namespace {
QString quoted(const QString& s) {
    return QLatin1Char('"') + QString(s).replace(QLatin1Char('\n'), "\\n") + QLatin1Char('"');
}

void actions(QStringList& out, const QList<QAction*>& list, const QString& indent) {
    for (const QAction* a : list) {
        if (a->isSeparator()) {
            out << indent + "----";
            continue;
        }
        QString line = indent + "action " + quoted(a->text());
        if (!a->isVisible()) line += " hidden";
        if (!a->isEnabled()) line += " off";
        if (a->isCheckable()) line += a->isChecked() ? " [x]" : " [ ]";
        if (!a->shortcut().isEmpty()) line += " key=" + a->shortcut().toString(QKeySequence::PortableText);
        out << line;
        if (a->menu()) actions(out, a->menu()->actions(), indent + "  ");
    }
}

void model(QStringList& out, const QAbstractItemView* v, const QString& indent) {
    if (auto* tree = qobject_cast<const QTreeView*>(v))
        out << indent + QString("  tree expandable=%1 decorated=%2")
                            .arg(tree->itemsExpandable())
                            .arg(tree->rootIsDecorated());
    out << indent + QString("  edit=%1 selection=%2/%3")
                        .arg(int(v->editTriggers()))
                        .arg(v->selectionMode())
                        .arg(v->selectionBehavior());
    const QAbstractItemModel* m = v->model();
    if (!m) return;
    const int rows = m->rowCount(v->rootIndex()), cols = m->columnCount(v->rootIndex());
    out << indent + QString("  %1 x %2, current %3,%4")
                        .arg(rows)
                        .arg(cols)
                        .arg(v->currentIndex().row())
                        .arg(v->currentIndex().column());
    QStringList head;
    auto* table = qobject_cast<const QTableView*>(v);
    for (int c = 0; c < cols; ++c)
        head << m->headerData(c, Qt::Horizontal).toString() + (!table ? QString()
                                                               : table->isColumnHidden(c)
                                                                   ? "{hidden}"
                                                                   : QString("{%1}").arg(table->columnWidth(c)));
    if (!head.join("").isEmpty()) out << indent + "  head " + head.join(" | ");
    // Enough rows to see what a fill writes, not thousands.
    for (int r = 0; r < qMin(rows, 24); ++r) {
        QStringList cells;
        for (int c = 0; c < cols; ++c) {
            const QModelIndex i = m->index(r, c, v->rootIndex());
            QString t = i.data().toString();
            if (!(m->flags(i) & Qt::ItemIsEnabled)) t += "{off}";
            if (m->flags(i) & Qt::ItemIsEditable) t += "{ed}";
            if (const QVariant check = i.data(Qt::CheckStateRole); check.isValid()) t += check.toInt() ? "{x}" : "{ }";
            cells << t;
        }
        out << indent + "  | " + cells.join(" | ");
    }
}

void widget(QStringList& out, const QWidget* w, const QWidget* root, const QString& indent) {
    QString line = indent + QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty()) line += "#" + w->objectName();
    if (w != root && !w->isVisibleTo(root)) line += " hidden";
    if (!w->isEnabled()) line += " off";
    if (!w->windowTitle().isEmpty() && (w == root || w->isWindow() || qobject_cast<const QMdiSubWindow*>(w)))
        line += " title=" + quoted(w->windowTitle());
    if (w->testAttribute(Qt::WA_DeleteOnClose)) line += " deleted-on-close";
    if (w->isWindow() && w->windowModality() != Qt::NonModal) line += " modal";
    bool inside = true;  // whether the widget's own children are worth listing
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        line += " " + quoted(l->text());
        if (l->textInteractionFlags() != Qt::LinksAccessibleByMouse)
            line += QString(" interaction=%1").arg(int(l->textInteractionFlags()));
    } else if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        line += " " + quoted(b->text());
        if (b->isCheckable()) line += b->isChecked() ? " [x]" : " [ ]";
        if (auto* p = qobject_cast<const QPushButton*>(w); p && p->isDefault()) line += " default";
        inside = false;
    } else if (auto* e = qobject_cast<const QLineEdit*>(w)) {
        line += " " + quoted(e->text()) + QString(" max=%1").arg(e->maxLength());
        if (e->isReadOnly()) line += " read-only";
        if (e->echoMode() != QLineEdit::Normal) line += " hidden-text";
        if (e->validator()) line += " validated";
        inside = false;
    } else if (auto* c = qobject_cast<const QComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
        line +=
            QString(" current=%1 ").arg(c->currentIndex()) + quoted(c->currentText()) + " {" + items.join("|") + "}";
        if (c->isEditable()) line += QString(" editable max=%1").arg(c->lineEdit() ? c->lineEdit()->maxLength() : -1);
        inside = false;
    } else if (auto* s = qobject_cast<const QAbstractSpinBox*>(w)) {
        line += " " + quoted(s->text());
        if (auto* i = qobject_cast<const QSpinBox*>(w)) line += QString(" %1..%2").arg(i->minimum()).arg(i->maximum());
        inside = false;
    } else if (auto* p = qobject_cast<const QProgressBar*>(w)) {
        line += QString(" %1 of %2..%3").arg(p->value()).arg(p->minimum()).arg(p->maximum());
    } else if (auto* t = qobject_cast<const QPlainTextEdit*>(w)) {
        line += QString(" wrap=%1 ").arg(t->lineWrapMode()) + quoted(t->toPlainText().left(400));
        if (t->isReadOnly()) line += " read-only";
        inside = false;
    } else if (auto* t = qobject_cast<const QTextEdit*>(w)) {
        line += QString(" wrap=%1 ").arg(t->lineWrapMode()) + quoted(t->toPlainText().left(400));
        if (t->isReadOnly()) line += " read-only";
        inside = false;
    } else if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        line += " " + quoted(g->title());
        if (g->isCheckable()) line += g->isChecked() ? " [x]" : " [ ]";
    } else if (auto* tabs = qobject_cast<const QTabWidget*>(w)) {
        QStringList names;
        for (int i = 0; i < tabs->count(); ++i) names << tabs->tabText(i) + (tabs->isTabEnabled(i) ? "" : "{off}");
        line += QString(" current=%1 {").arg(tabs->currentIndex()) + names.join("|") + "}";
    } else if (auto* bar = qobject_cast<const QTabBar*>(w)) {
        QStringList names;
        for (int i = 0; i < bar->count(); ++i) names << bar->tabText(i) + (bar->isTabEnabled(i) ? "" : "{off}");
        line += QString(" current=%1 {").arg(bar->currentIndex()) + names.join("|") + "}";
        inside = false;
    }
    out << line;
    if (auto* bar = qobject_cast<const QMenuBar*>(w)) return actions(out, bar->actions(), indent + "  ");
    if (auto* menu = qobject_cast<const QMenu*>(w)) return actions(out, menu->actions(), indent + "  ");
    if (auto* b = qobject_cast<const QToolButton*>(w); b && b->menu())
        actions(out, b->menu()->actions(), indent + "  ");
    if (auto* b = qobject_cast<const QPushButton*>(w); b && b->menu())
        actions(out, b->menu()->actions(), indent + "  ");
    if (auto* v = qobject_cast<const QAbstractItemView*>(w)) return model(out, v, indent);
    if (auto* c = qobject_cast<const QChartView*>(w)) {
        for (const QAbstractAxis* a : c->chart()->axes())
            out << indent + "  axis " + quoted(a->titleText()) + (a->isTitleVisible() ? "" : " title hidden");
        for (const QAbstractSeries* x : c->chart()->series())
            out << indent + "  series " + quoted(x->name()) +
                       QString(" %1 points")
                           .arg(qobject_cast<const QXYSeries*>(x) ? qobject_cast<const QXYSeries*>(x)->count() : -1);
        return;
    }
    if (!inside || qobject_cast<const QScrollBar*>(w)) return;
    for (const QObject* o : w->children())
        if (auto* c = qobject_cast<const QWidget*>(o); c && !c->objectName().startsWith("qt_"))
            widget(out, c, root, indent + "  ");
}
}  // namespace

QString widgetState(const QWidget* window, const QString& home) {
    QStringList out;
    widget(out, window, window, QString());
    QString s = out.join('\n') + '\n';
    if (!home.isEmpty()) s.replace(QDir::toNativeSeparators(home), "<home>").replace(home, "<home>");
    // Clock readings change from run to run.
    s.replace(QRegularExpression("\\d{4}[-/]\\d\\d[-/]\\d\\d[ T]\\d\\d:\\d\\d(:\\d\\d)?"), "<time>");
    s.replace(QRegularExpression("\\b\\d\\d:\\d\\d:\\d\\d(\\.\\d+)?\\b"), "<time>");
    return s;
}

QString windowDiffers(const QWidget* window, const QString& name, const QString& home) {
    const QString now = widgetState(window, home);
    const QString path = QStringLiteral(PILMORA_SOURCE_DIR) + "/tests/data/windows/" + name + ".txt";
    if (qEnvironmentVariableIsSet("PILMORA_UPDATE_WINDOWS")) {
        QDir().mkpath(QFileInfo(path).path());
        return writeAll(path, now.toUtf8()) ? QString() : "cannot write " + path;
    }
    const QStringList kept = QString::fromUtf8(readAll(path)).split('\n'), seen = now.split('\n');
    for (int i = 0; i < qMax(kept.size(), seen.size()); ++i)
        if (kept.value(i) != seen.value(i))
            return QString("%1.txt line %2\n  kept: %3\n  seen: %4")
                .arg(name)
                .arg(i + 1)
                .arg(kept.value(i), seen.value(i));
    return QString();
}
