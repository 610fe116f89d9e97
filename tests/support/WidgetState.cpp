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

// The properties a user sees or meets, where a widget has them.
const char* const kShown[] = {"text",           "title",
                              "plainText",      "checkable",
                              "checked",        "default",
                              "maxLength",      "readOnly",
                              "echoMode",       "editable",
                              "currentIndex",   "minimum",
                              "maximum",        "value",
                              "lineWrapMode",   "textInteractionFlags",
                              "selectionMode",  "selectionBehavior",
                              "editTriggers",   "itemsExpandable",
                              "rootIsDecorated"};

void widget(QStringList& out, const QWidget* w, const QWidget* root, const QString& indent) {
    QString line = indent + QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty()) line += "#" + w->objectName();
    if (w != root && !w->isVisibleTo(root)) line += " hidden";
    if (!w->isEnabled()) line += " off";
    if (w->isWindow() || qobject_cast<const QMdiSubWindow*>(w)) line += " title=" + quoted(w->windowTitle());
    if (w->testAttribute(Qt::WA_DeleteOnClose)) line += " deleted-on-close";
    if (w->isWindow() && w->windowModality() != Qt::NonModal) line += " modal";
    for (const char* name : kShown)
        if (w->metaObject()->indexOfProperty(name) >= 0)
            line += QString(" %1=").arg(name) + quoted(w->property(name).toString().left(400));
    QStringList items;
    if (auto* c = qobject_cast<const QComboBox*>(w))
        for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
    const QTabBar* tabs = qobject_cast<const QTabWidget*>(w) ? qobject_cast<const QTabWidget*>(w)->tabBar()
                                                             : qobject_cast<const QTabBar*>(w);
    for (int i = 0; tabs && i < tabs->count(); ++i) items << tabs->tabText(i) + (tabs->isTabEnabled(i) ? "" : "{off}");
    if (!items.isEmpty()) line += " {" + items.join("|") + "}";
    out << line;
    if (auto* bar = qobject_cast<const QMenuBar*>(w)) return actions(out, bar->actions(), indent + "  ");
    if (auto* menu = qobject_cast<const QMenu*>(w)) return actions(out, menu->actions(), indent + "  ");
    auto* tool = qobject_cast<const QToolButton*>(w);
    auto* push = qobject_cast<const QPushButton*>(w);
    if (const QMenu* menu = tool ? tool->menu() : push ? push->menu() : nullptr)
        actions(out, menu->actions(), indent + "  ");
    if (auto* v = qobject_cast<const QAbstractItemView*>(w)) return model(out, v, indent);
    if (auto* c = qobject_cast<const QChartView*>(w)) {
        for (const QAbstractAxis* a : c->chart()->axes())
            out << indent + "  axis " + quoted(a->titleText()) + (a->isTitleVisible() ? "" : " title hidden");
        for (const QAbstractSeries* x : c->chart()->series())
            out << indent + "  series " + quoted(x->name()) + " " +
                       QString::number(static_cast<const QXYSeries*>(x)->count());
        return;
    }
    // Compound widgets are described by their properties, not by their parts.
    if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
        qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
        (qobject_cast<const QAbstractScrollArea*>(w) && !qobject_cast<const QMdiArea*>(w)) ||
        qobject_cast<const QTabBar*>(w) || qobject_cast<const QScrollBar*>(w))
        return;
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
