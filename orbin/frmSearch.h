#pragma once

#include "platform/gui/FormWidget.h"

class QListWidget;

// The list of search hits beside the orbin's search box: one entry per hit, its text the item's title and
// type, its data the item's id. A click on a hit opens the item in its edit dialog. One shared instance,
// loaded on first use; it follows the orbin when the orbin is dragged.
class frmSearch : public FormWidget {
    Q_OBJECT
public:
    explicit frmSearch(QWidget* parent = nullptr);
    // The one shared instance, loaded (not shown) on first use.
    static frmSearch* instance();

    QListWidget* lstSearch() const { return m_lstSearch; }
    // Opens the selected hit: a task in the edit-task dialog, a meeting in the edit-meeting dialog.
    void lstSearch_Click();

    // The list's place against the orbin, and its size, in twips.
    static constexpr double OffsetLeft = 3800;
    static constexpr double OffsetTop = 300;
    static constexpr double DesignWidth = 3390;
    static constexpr double DesignHeight = 2805;

private:
    void Form_Load();

    QListWidget* m_lstSearch = nullptr;
};
