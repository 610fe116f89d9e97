// What a user finds in a window, written out as text: every widget's caption, whether it is shown and enabled,
// what it holds (list items, cell texts, limits, checks) and every menu's actions. A window's state is compared
// with the one kept in tests/data/windows/NAME.txt; PILMORA_UPDATE_WINDOWS=1 writes the files instead.
#pragma once

#include <QString>

class QWidget;

QString widgetState(const QWidget* window, const QString& home = QString());
// Empty when `window` looks as kept; otherwise the first lines that differ.
QString windowDiffers(const QWidget* window, const QString& name, const QString& home = QString());
