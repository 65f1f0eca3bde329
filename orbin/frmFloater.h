#pragma once

#include "FormWidget.h"
#include "OrbinWindow.h"

class QPushButton;

// The orbin window. (Start-up's least: a plain window whose Exit asks the quit question and whose
// closing ends the program; the round orbin proper replaces it.)
class frmFloater : public FormWidget, public OrbinWindow {
    Q_OBJECT
public:
    explicit frmFloater(QWidget* parent = nullptr);

    FormPort* form() override { return isUnloaded() ? nullptr : this; }
    void updateInfo() override {}
    void shrinkFloater() override {}
    void expandFloater() override {}
    void showWindow() override { show(); }
    void hideWindow() override { hide(); }
    bool isWindowVisible() const override { return isVisible(); }

    void mnuExit_Click();

protected:
    void formUnload() override;
};
