#include "CellEditorWidget.h"

#include <QKeyEvent>
#include <QValidator>

#include "ModulASCII.h"
#include "SignalGridModel.h"

namespace {
bool isBreak(QChar c) { return c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

// Whatever reaches the text (paste, drop, setText) loses its TABs and line breaks.
class NoBreaksValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar& c : input)
            if (isBreak(c)) c = QLatin1Char(' ');
        return Acceptable;
    }
};
}  // namespace

CellEditorWidget::CellEditorWidget(SignalGridView* view) : QLineEdit(view->viewport()), m_view(view) {
    setValidator(new NoBreaksValidator(this));
    setFrame(false);
    hide();
    // Scrolling or moving the current cell away ends the edit, like leaving it.
    connect(view, &SignalGridView::scrolled, this, &CellEditorWidget::endEdit);
    connect(view, &SignalGridView::currentCellChanged, this, [this](int row, int col) {
        if (isVisible() && (row != editRow || col != editCol)) endEdit();
    });
}

void CellEditorWidget::endEdit() {
    if (!m_view || !m_view->grid() || !isVisible()) return;
    const int row = editRow, col = editCol;
    Termina_Edicion(*m_view->grid(), *this);
    if (row >= 0) emit editWritten(row, col);
}

void CellEditorWidget::setEditorVisible(bool visible) {
    if (!visible) {
        // Hiding a widget that holds the focus makes Qt pass the focus on as if Tab
        // were pressed, and the view takes that Tab as a move: hand the focus to the
        // grid first so the current cell stays where the edit put it.
        if (hasFocus() && m_view) m_view->setFocus(Qt::OtherFocusReason);
        hide();
        return;
    }
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void CellEditorWidget::placeOverCell(int row, int col) {
    if (!m_view) return;
    m_view->scrollToCell(row, col);
    setGeometry(m_view->cellRect(row, col));
}

void CellEditorWidget::setEditorAlignment(int align) { setAlignment(SignalGridModel::alignmentOf(align)); }

void CellEditorWidget::matchGridLook() {
    if (!m_view) return;
    setFont(m_view->font());
    QPalette p = palette();
    p.setColor(QPalette::Base, m_view->palette().color(QPalette::Base));
    setPalette(p);
}

void CellEditorWidget::giveFocusToGrid() {
    if (m_view) m_view->setFocus(Qt::OtherFocusReason);
}

bool CellEditorWidget::event(QEvent* e) {
    // Tab would otherwise move the focus before the key reaches the editor.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CellEditorWidget::keyPressEvent(QKeyEvent* e) {
    SignalGrid* grid = m_view ? m_view->grid() : nullptr;
    if (!grid) return QLineEdit::keyPressEvent(e);
    bool& changed = m_changed ? *m_changed : m_dummyChanged;

    int code = 0;
    switch (e->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab: code = KeyCode::Tab; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: code = KeyCode::Return; break;
        case Qt::Key_Escape: code = KeyCode::Escape; break;
        case Qt::Key_Up: code = KeyCode::Up; break;
        case Qt::Key_Down: code = KeyCode::Down; break;
        default: break;
    }
    if (code != 0 && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const int row = editRow, col = editCol;
        const bool writes = code != KeyCode::Escape && isVisible();
        const bool back = e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
        if (Teclas_Editor(code, *grid, *this, code == KeyCode::Tab && back)) {
            if (writes && row >= 0) emit editWritten(row, col);
            e->accept();
            return;
        }
    }
    if (code == KeyCode::Return || code == KeyCode::Tab) {  // with modifiers: never into the text
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Backspace) {
        int k = KeyAscii::Back;
        FiltroTecla(k, *grid, changed);
        return QLineEdit::keyPressEvent(e);
    }

    const QString text = e->text();
    const bool command = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (command || text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127) {
        // Shortcuts (copy, paste, undo) and movement keys; a control character
        // that would break a line is refused.
        if (!text.isEmpty() && isBreak(text.at(0))) {
            e->accept();
            return;
        }
        return QLineEdit::keyPressEvent(e);
    }
    // Typed characters: each one through the grid's key filter.
    QString accepted;
    for (const QChar ch : text) {
        if (isBreak(ch)) continue;
        int k = ch.unicode();
        FiltroTecla(k, *grid, changed);
        if (k != 0) accepted += QChar(k);
    }
    if (!accepted.isEmpty()) insert(accepted);
    e->accept();
}

void CellEditorWidget::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // Leaving the box for another control ends the edit; a menu or another window
    // taking the focus for a moment does not.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    endEdit();
}
