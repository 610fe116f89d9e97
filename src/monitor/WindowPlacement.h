// Where the viewer, the trends and the traffic monitors go in the main window's
// work area, in plain rectangles so that a small screen can be tried without one.
#pragma once

#include <QRect>
#include <QVector>

// `wanted` moved (and, only when it must, shrunk) so that it lies inside `area`;
// never below `minimum` unless the area itself is smaller.
QRect placeInside(const QRect& wanted, const QSize& minimum, const QRect& area);

// Cells for `count` windows over `area`: as many columns as keep each at least
// `minWidth` wide, the last row's windows sharing its width. Window 0 (the
// viewer) comes first; when a cell would be narrower than `firstMinWidth`, or
// the count leaves a cell over, it has the first row to itself, twice as high
// as the others.
QVector<QRect> tileRects(const QRect& area, int count, int minWidth, int firstMinWidth);
