#include "WidgetState.h"

#include <QtCharts>
#include <QtWidgets>

#include "TestSupport.h"

namespace {
QString quoted(const QString& s) { return '"' + QString(s).replace('\n', "\\n") + '"'; }
QString mark(bool on, const char* text) { return on ? QString(text) : QString(); }

void actions(QStringList& out, const QList<QAction*>& list, const QString& indent) {
    for (const QAction* a : list) {
        out << indent + (a->isSeparator() ? "----" : "action " + quoted(a->text())) + mark(!a->isVisible(), " hidden") +
                   mark(!a->isEnabled(), " off") + mark(a->isCheckable(), a->isChecked() ? " [x]" : " [ ]") +
                   mark(!a->shortcut().isEmpty(), " key=") + a->shortcut().toString(QKeySequence::PortableText);
        if (a->menu()) actions(out, a->menu()->actions(), indent + "  ");
    }
}

void model(QStringList& out, const QAbstractItemView* v, const QString& indent) {
    const QAbstractItemModel* m = v->model();
    const int rows = m->rowCount(v->rootIndex()), cols = m->columnCount(v->rootIndex());
    out << indent + QString::asprintf("  %d x %d, current %d,%d", rows, cols, v->currentIndex().row(),
                                      v->currentIndex().column());
    QStringList head;
    auto* table = qobject_cast<const QTableView*>(v);
    auto* tree = qobject_cast<const QTreeView*>(v);
    const QHeaderView* h = table ? table->horizontalHeader() : tree ? tree->header() : nullptr;
    for (int c = 0; c < cols; ++c)  // with each column's width
        head << m->headerData(c, Qt::Horizontal).toString() + (!h ? ""
                                                               : h->isSectionHidden(c)
                                                                   ? "{hidden}"
                                                                   : QString::asprintf("{%d}", h->sectionSize(c)));
    out << indent + "  head " + head.join(" | ") + mark(h && h->highlightSections(), " {lit}");  // lit with the cell
    for (int r = 0; r < qMin(rows, 24); ++r) {  // enough rows to see what a fill writes, not thousands
        QStringList cells;
        for (int c = 0; c < cols; ++c) {
            const QModelIndex i = m->index(r, c, v->rootIndex());
            const QVariant check = i.data(Qt::CheckStateRole);
            cells << i.data().toString() + mark(!(i.flags() & Qt::ItemIsEnabled), "{off}") +
                         mark(i.flags() & Qt::ItemIsEditable, "{ed}") +
                         mark(check.isValid(), check.toInt() ? "{x}" : "{ }") +
                         mark(v->selectionModel() && v->selectionModel()->isSelected(i), "{sel}");
        }
        out << indent + "  | " + cells.join(" | ");
    }
}

// The properties a user sees or meets, where a widget has them.
const QStringList kShown =
    QString(
        "text title plainText checkable checked default maxLength readOnly echoMode "
        "editable currentIndex minimum maximum value lineWrapMode textInteractionFlags "
        "selectionMode selectionBehavior editTriggers itemsExpandable rootIsDecorated clearButtonEnabled expanding "
        "alignment wordWrap arrowType")
        .split(' ');

void widget(QStringList& out, const QWidget* w, const QWidget* root, const QString& indent) {
    QString line = indent + w->metaObject()->className() + mark(!w->objectName().isEmpty(), "#") + w->objectName() +
                   mark(w != root && !w->isVisibleTo(root), " hidden") + mark(!w->isEnabled(), " off") +
                   mark(w->testAttribute(Qt::WA_DeleteOnClose), " deleted-on-close") +
                   mark(w->isWindow() && w->windowModality() != Qt::NonModal, " modal");
    if (w->isWindow() || qobject_cast<const QMdiSubWindow*>(w)) line += " title=" + quoted(w->windowTitle());
    if (w == root) line += QString::asprintf(" size=%dx%d", w->width(), w->height());
    // Limits, frames and tips set by hand: what keeps a field readable and tells what it is for. (A window's
    // minimum follows its layout's contents.)
    if (!w->isWindow() && (w->minimumWidth() > 0 || w->maximumWidth() < QWIDGETSIZE_MAX))
        line += QString::asprintf(" width=%d..%d", w->minimumWidth(), qMin(w->maximumWidth(), 99999));
    auto* frame = qobject_cast<const QFrame*>(w);
    auto* edit = qobject_cast<const QLineEdit*>(w);
    line += mark(frame && frame->frameShape() != QFrame::NoFrame, " frame=") +
            (frame && frame->frameShape() ? QString::number(frame->frameShape()) : QString()) +
            mark(edit && !edit->hasFrame(), " frameless") + mark(!w->toolTip().isEmpty(), " tip=") +
            (w->toolTip().isEmpty() ? QString() : quoted(w->toolTip()));
    for (const QString& name : kShown)
        if (w->metaObject()->indexOfProperty(name.toLatin1()) >= 0)
            line += " " + name + "=" + quoted(w->property(name.toLatin1()).toString().left(400));
    QStringList items;
    for (int i = 0; qobject_cast<const QComboBox*>(w) && i < static_cast<const QComboBox*>(w)->count(); ++i)
        items << static_cast<const QComboBox*>(w)->itemText(i);
    const QTabBar* tabs = qobject_cast<const QTabWidget*>(w) ? static_cast<const QTabWidget*>(w)->tabBar()
                                                             : qobject_cast<const QTabBar*>(w);
    for (int i = 0; tabs && i < tabs->count(); ++i) items << tabs->tabText(i) + mark(!tabs->isTabEnabled(i), "{off}");
    out << line + mark(!items.isEmpty(), " {") + items.join("|") + mark(!items.isEmpty(), "}");
    auto* tool = qobject_cast<const QToolButton*>(w);
    auto* push = qobject_cast<const QPushButton*>(w);
    auto* bar = qobject_cast<const QMenuBar*>(w);
    const QWidget* menu = tool   ? tool->menu()
                          : push ? push->menu()
                          : bar  ? static_cast<const QWidget*>(bar)
                                 : qobject_cast<const QMenu*>(w);
    if (menu) actions(out, menu->actions(), indent + "  ");
    if (auto* v = qobject_cast<const QAbstractItemView*>(w)) return model(out, v, indent);
    if (auto* c = qobject_cast<const QChartView*>(w)) {
        for (const QAbstractAxis* a : c->chart()->axes()) {  // with the range it shows
            auto* time = qobject_cast<const QDateTimeAxis*>(a);
            auto* value = qobject_cast<const QValueAxis*>(a);
            out << indent + "  axis " + quoted(a->titleText()) + mark(!a->isTitleVisible(), " title hidden") +
                       (time ? QString::asprintf(" %llds", time->min().secsTo(time->max())) : QString()) +
                       (value ? QString::asprintf(" %g..%g", value->min(), value->max()) : QString());
        }
        for (const QAbstractSeries* x : c->chart()->series())
            out << indent + "  series " + quoted(x->name()) +
                       QString::asprintf(" %d", static_cast<const QXYSeries*>(x)->count());
    }
    // Compound widgets are described by their properties, not by their parts.
    if (menu || qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
        qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
        (qobject_cast<const QAbstractScrollArea*>(w) && !qobject_cast<const QMdiArea*>(w)) || tabs)
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
    return s.replace(QRegularExpression("\\b\\d\\d:\\d\\d:\\d\\d(\\.\\d+)?\\b"), "<time>");
}

QString windowDiffers(const QWidget* window, const QString& name, const QString& home) {
    const QString now = widgetState(window, home);
    // Kept for each screen width the tests run on.
    const QString path = QStringLiteral(PILMORA_SOURCE_DIR) + "/tests/data/windows/" + name +
                         QString::asprintf("@%d.txt", QGuiApplication::primaryScreen()->geometry().width());
    if (qEnvironmentVariableIsSet("PILMORA_UPDATE_WINDOWS"))
        return QDir().mkpath(QFileInfo(path).path()) && writeAll(path, now.toUtf8()) ? "" : "cannot write " + path;
    const QStringList kept = QString::fromUtf8(readAll(path)).split('\n'), seen = now.split('\n');
    for (int i = 0; i < qMax(kept.size(), seen.size()); ++i)
        if (kept.value(i) != seen.value(i))
            return name + QString::asprintf(".txt line %d\n  kept: ", i + 1) + kept.value(i) +
                   "\n  seen: " + seen.value(i);
    return QString();
}
