#pragma once

#include "pagechain/PageContent.h"
#include "platform/gui/FormWidget.h"

#include <QPointer>
#include <QRect>
#include <optional>

class PageChain;
class PagePictureBox;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

// The window procedures of the tour and the readers.
namespace modFunctions {
// Keeps the window above all windows that are not kept on top (True) or puts it back among them (False),
// without moving or resizing it.
void setTopmost(QWidget* window, bool topmost);
// Hides and unloads every loaded page; the program ends with the last.
void endTour();
} // namespace modFunctions

// Where the main program's orbin first stands on a screen of this size, before the user moves it: opened,
// at the top, centred across. The text of a page keeps clear of it.
QRect orbinFirstPlace(const QSize& screen);

// One page of a chain: a form named after its page, with its caption, texts, picture and buttons on a
// sheet of at most sheetSize.
class PageForm : public FormWidget {
    Q_OBJECT
public:
    PageForm(const PageSpec& spec, QSize sheetSize, PageChain* owner);
    const PageSpec& spec() const { return m_spec; }
    QPushButton* button(const QString& name) const;
    // A place of the screen (the orbin's first place) that the page's text stays out of, as far as the
    // window lets it; an empty rectangle for none.
    void setKeepClear(const QRect& onScreen);
    const QRect& keepClear() const { return m_keepClear; }

protected:
    void formUnload() override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange();

    PageSpec m_spec;
    QPointer<PageChain> m_chain;
    QSize m_sheetSize;
    QRect m_keepClear;
    QWidget* m_sheet = nullptr;
    QVBoxLayout* m_pageLayout = nullptr;
    QScrollArea* m_column = nullptr;
    PagePictureBox* m_picture = nullptr;
};

// Shows the pages of one chain: one page at a time, each new page where the one before it stood.
class PageChain : public QObject {
    Q_OBJECT
public:
    explicit PageChain(ChainSpec spec, QObject* parent = nullptr);
    const ChainSpec& spec() const { return m_spec; }
    // Pages fill the screen, as when the main program starts the tour.
    void setMaximized(bool maximized) { m_maximized = maximized; }
    // The place the pages' text keeps clear of; unless set, the orbin's first place on the screen.
    void setKeepClear(const QRect& onScreen) { m_keepClear = onScreen; }
    // Where a page that is not maximised opens in the room of a screen: centred, unless that puts it over
    // the place to keep clear; then low at the left, where its text stands beside that place and its
    // picture below it.
    static QPoint placeOf(const QRect& room, const QSize& size, const QRect& keepClear);

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
    std::optional<QRect> m_keepClear;
    QPointer<PageForm> m_current;
};
