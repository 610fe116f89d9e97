// The prompts seam for the running program: real windows.
#pragma once

#include "Prompts.h"

class QWidget;

class QtPrompts : public Prompts {
public:
    int toolBox(const ToolBoxRequest& request) override;
    int systemBox(const QString& text, int style, const QString& caption) override;
    QString inputBox(const QString& title, const QString& prompt, const QString& defaultValue) override;
    void setBusy(bool on) override;

private:
    int m_busy = 0;
};
