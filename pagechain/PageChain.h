#pragma once

#include "FormWidget.h"
#include "PageContent.h"

#include <QPointer>

class PageChain;
class QPushButton;

// The window procedures of the tour and the readers.
namespace modFunctions {
// Keeps the window above all windows that are not kept on top (True) or puts it back among them (False),
// without moving or resizing it.
void setTopmost(QWidget* window, bool topmost);
// Hides and unloads every loaded page; the program ends with the last.
void endTour();
} // namespace modFunctions

// One page of a chain: a form named after its page, with its caption, texts, picture and buttons on a
// sheet of at most sheetSize.
class PageForm : public FormWidget {
    Q_OBJECT
public:
    PageForm(const PageSpec& spec, QSize sheetSize, PageChain* owner);
    const PageSpec& spec() const { return m_spec; }
    QPushButton* button(const QString& name) const;

protected:
    void formUnload() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PageSpec m_spec;
    QPointer<PageChain> m_chain;
};

// Shows the pages of one chain: one page at a time, each new page where the one before it stood.
class PageChain : public QObject {
    Q_OBJECT
public:
    explicit PageChain(ChainSpec spec, QObject* parent = nullptr);
    const ChainSpec& spec() const { return m_spec; }
    // Pages fill the screen, as when the main program starts the tour.
    void setMaximized(bool maximized) { m_maximized = maximized; }

    // Loads and shows the first page.
    PageForm* start();
    // The page shown last, while it is loaded.
    PageForm* current() const { return m_current; }

Q_SIGNALS:
    // No page is loaded any more: the program is done.
    void ended();

private:
    friend class PageForm;
    PageForm* showPage(const QString& name, const QWidget* from);
    void go(PageForm* from, const QString& target);
    void buttonClicked(PageForm* page, const PageButton& button);
    void pictureClicked(PageForm* page);
    void pageUnloaded();

    ChainSpec m_spec;
    bool m_maximized = false;
    QPointer<PageForm> m_current;
};
