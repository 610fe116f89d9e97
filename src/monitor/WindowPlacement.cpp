#include "WindowPlacement.h"

#include <QtGlobal>

QRect placeInside(const QRect& wanted, const QSize& minimum, const QRect& area) {
    QSize size = wanted.size().expandedTo(minimum).boundedTo(area.size());
    QRect r(wanted.topLeft(), size);
    if (r.right() > area.right()) r.moveRight(area.right());
    if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
    if (r.left() < area.left()) r.moveLeft(area.left());
    if (r.top() < area.top()) r.moveTop(area.top());
    return r;
}

QVector<QRect> tileRects(const QRect& area, int count, int minWidth, int firstMinWidth) {
    QVector<QRect> out;
    if (count <= 0 || area.isEmpty()) return out;
    const int cols = qBound(1, area.width() / qMax(1, minWidth), count);
    const bool alone = cols > 1 && (count % cols != 0 || area.width() / cols < firstMinWidth);
    const int rest = alone ? count - 1 : count;
    const int rows = (rest + cols - 1) / cols;
    // Shares of the height: the viewer's own row counts twice.
    const int h = area.height() / (rows + (alone ? 2 : 0));
    int top = area.top();
    if (alone) {
        const int first = area.height() - rows * h;
        out << QRect(area.left(), top, area.width(), first);
        top += first;
    }
    for (int i = 0; i < rest; i += cols, top += h) {
        const int inRow = qMin(cols, rest - i);
        const int w = area.width() / inRow;
        for (int k = 0; k < inRow; ++k) out << QRect(area.left() + k * w, top, w, h);
    }
    return out;
}
