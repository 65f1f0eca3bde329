#include "pagechain/PageChain.h"

#include "pagechain/PageWidgets.h"
#include "platform/FormPort.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

namespace modFunctions {

void setTopmost(QWidget* window, bool topmost) {
    try {
        if (auto* form = qobject_cast<FormWidget*>(window))
            form->setTopMost(topmost);
        else
            windowprocs::setTopMost(window, topmost);
    } catch (...) {
        // A window that cannot be kept on top is still shown.
    }
}

void endTour() {
    for (FormPort* form : forms::loaded()) {
        try {
            form->hideForm();
            form->unloadForm();
        } catch (...) {
            // The next page goes all the same.
        }
    }
}

} // namespace modFunctions

namespace {

// The page's look: the orbin's blues on white.
const char* const PageStyle = R"(
PageForm { background: #e6ecf3; }
QWidget#sheet { background: #ffffff; }
QLabel { color: #23303f; }
QLabel[role="heading"] { color: #2e4a6e; }
QLabel[role="subheading"] { color: #3d6490; }
QLabel[role="link"] { color: #2f6fb0; }
QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }
QFrame#rule { color: #d5dfeb; }
)";

QLabel* makeLabel(const PageItem& item, QWidget* parent) {
    QLabel* label =
        item.kind == PageItem::Kind::Link ? new ClickLabel(item.text, parent) : new QLabel(parent);
    label->setObjectName(item.name);
    label->setTextFormat(Qt::PlainText);
    label->setText(item.text);
    label->setWordWrap(true);
    QFont f = label->font();
    switch (item.kind) {
    case PageItem::Kind::Heading:
        label->setProperty("role", QStringLiteral("heading"));
        f.setPointSizeF(f.pointSizeF() * 2.1);
        f.setBold(true);
        break;
    case PageItem::Kind::Subheading:
        label->setProperty("role", QStringLiteral("subheading"));
        f.setPointSizeF(f.pointSizeF() * 1.3);
        f.setBold(true);
        break;
    case PageItem::Kind::Link:
        label->setProperty("role", QStringLiteral("link"));
        f.setPointSizeF(f.pointSizeF() * 1.25);
        break;
    case PageItem::Kind::Text:
        f.setPointSizeF(f.pointSizeF() * 1.25);
        break;
    }
    label->setFont(f);
    return label;
}

// The sheet's margins, the gap between the text and the picture beside it, and the room the text keeps
// from the place it keeps clear of.
const QMargins SheetMargins(32, 24, 32, 18);
constexpr int ColumnGap = 28;
constexpr int ClearGap = 16;

} // namespace

QRect orbinFirstPlace(const QSize& screen) {
    // As the orbin reckons it, in twips: its opened size, 30 from the top, centred on the screen.
    const double width = 7185, height = 6330, top = 30;
    const double left = std::fabs(std::floor(twips::fromPixels(screen.width()) / 2) - std::floor(width / 2));
    return QRect(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width),
                 twips::toPixels(height));
}

PageForm::PageForm(const PageSpec& spec, QSize sheetSize, PageChain* owner)
    : FormWidget(spec.name), m_spec(spec), m_chain(owner), m_sheetSize(sheetSize) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(spec.caption);
    setStyleSheet(QString::fromLatin1(PageStyle));
    setAutoFillBackground(true);

    // The page is a sheet of the size it was written for; a larger window centres it.
    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_sheet = new QWidget(this);
    m_sheet->setObjectName(QStringLiteral("sheet"));
    m_sheet->setAttribute(Qt::WA_StyledBackground);
    m_sheet->setMaximumSize(sheetSize);
    outer->addWidget(m_sheet, 0, 0);

    m_pageLayout = new QVBoxLayout(m_sheet);
    m_pageLayout->setContentsMargins(SheetMargins);
    m_pageLayout->setSpacing(14);

    auto* body = new QHBoxLayout;
    body->setSpacing(ColumnGap);
    m_pageLayout->addLayout(body, 1);

    // The heading heads the column of text, so that the text can stand beside a place it keeps clear of.
    m_column = new QScrollArea(m_sheet);
    m_column->setObjectName(QStringLiteral("textColumn"));
    m_column->setFrameShape(QFrame::NoFrame);
    m_column->setWidgetResizable(true);
    m_column->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* column = new QWidget(m_column);
    auto* text = new QVBoxLayout(column);
    text->setContentsMargins(0, 0, 6, 0);
    text->setSpacing(10);
    for (int i = 0; i < spec.items.size(); ++i) {
        const PageItem& item = spec.items.at(i);
        // A sub-heading stands apart from the paragraph above it.
        if (item.kind == PageItem::Kind::Subheading && i > 0) text->addSpacing(8);
        QLabel* label = makeLabel(item, column);
        text->addWidget(label);
        if (item.kind == PageItem::Kind::Heading) text->addSpacing(4);
        if (item.kind == PageItem::Kind::Link) {
            const QString target = item.target;
            connect(static_cast<ClickLabel*>(label), &ClickLabel::clicked, this, [this, target] {
                if (m_chain) m_chain->go(this, target);
            });
        }
    }
    text->addStretch(1);
    m_column->setWidget(column);

    if (spec.picture) {
        body->addWidget(m_column, 2);
        m_picture = new PagePictureBox(QPixmap(spec.picture->path), m_sheet);
        m_picture->setObjectName(spec.picture->name);
        body->addWidget(m_picture, 3);
        if (spec.picture->notice)
            connect(m_picture, &PagePictureBox::clicked, this, [this] {
                if (m_chain) m_chain->pictureClicked(this);
            });
    } else {
        // Prose alone reads best in a column of a book's width.
        body->addStretch(1);
        body->addWidget(m_column, 4);
        body->addStretch(1);
    }

    auto* rule = new QFrame(m_sheet);
    rule->setObjectName(QStringLiteral("rule"));
    rule->setFrameShape(QFrame::HLine);
    m_pageLayout->addWidget(rule);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* last = nullptr;
    for (const PageButton& b : spec.buttons) {
        auto* button = new QPushButton(b.caption, m_sheet);
        button->setObjectName(b.name);
        button->setMinimumWidth(96);
        button->setAutoDefault(true);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, b] {
            if (m_chain) m_chain->buttonClicked(this, b);
        });
        last = button;
    }
    m_pageLayout->addLayout(buttons);
    // The way on (Next, Start, Done) stands last and has the focus.
    if (last) setFocusProxy(last);
    arrange();
}

void PageForm::setKeepClear(const QRect& onScreen) {
    m_keepClear = onScreen;
    arrange();
}

void PageForm::showEvent(QShowEvent* event) {
    arrange();
    FormWidget::showEvent(event);
}

void PageForm::resizeEvent(QResizeEvent* event) {
    arrange();
    FormWidget::resizeEvent(event);
}

void PageForm::arrange() {
    // As written: the sheet at its size, centred; the column at a reading width beside the picture, or
    // of a book's width for prose alone.
    QSize sheet = m_sheetSize;
    int columnWidth = m_picture ? 560 : 720;
    QMargins margins = SheetMargins;
    QRect clear; // the place to keep clear of, in this window

    const QRect place = m_keepClear.translated(-geometry().topLeft());
    if (!m_keepClear.isEmpty() && place.intersects(rect())) {
        // The sheet takes the whole window and the text goes round the place: beside it on the left,
        // with the picture below it; prose alone below it. Where the window leaves no room for that
        // without scrolling, the page stays as written. Under the column: the rule and the buttons.
        const int under = m_pageLayout->spacing() * 2 + m_pageLayout->itemAt(1)->sizeHint().height() +
                          m_pageLayout->itemAt(2)->sizeHint().height() + margins.bottom();
        int top = margins.top();
        int across = 0;
        if (m_picture) {
            across = std::min(columnWidth, place.left() - ClearGap - margins.left());
        } else {
            top = std::max(top, place.bottom() + 1 + ClearGap);
            across = std::min(columnWidth, (width() - margins.left() - margins.right()) * 4 / 6);
        }
        // Measured with room for a scroll bar: once one has come up, the column keeps it while the text
        // does not fit the narrower width.
        const int bar = m_column->verticalScrollBar()->sizeHint().width();
        if (across >= 300 && m_column->widget()->heightForWidth(across - bar) <= height() - top - under) {
            sheet = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            columnWidth = across;
            margins.setTop(top);
            clear = place.adjusted(-ClearGap, -ClearGap, ClearGap, ClearGap);
        }
    }
    m_sheet->setMaximumSize(sheet);
    m_pageLayout->setContentsMargins(margins);
    m_column->setMaximumWidth(columnWidth);
    m_column->setMinimumWidth(m_picture ? std::min(360, columnWidth) : 0);
    if (m_picture) m_picture->setKeepClear(clear);
}

QPushButton* PageForm::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void PageForm::formUnload() {
    if (m_chain) m_chain->pageUnloaded();
}

void PageForm::keyPressEvent(QKeyEvent* event) {
    // Enter presses the button that has the focus, as in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* b = qobject_cast<QPushButton*>(focusWidget())) {
            b->click();
            return;
        }
    }
    FormWidget::keyPressEvent(event);
}

PageChain::PageChain(ChainSpec spec, QObject* parent) : QObject(parent), m_spec(std::move(spec)) {}

PageForm* PageChain::start() {
    return showPage(m_spec.pages.first().name, nullptr);
}

QPoint PageChain::placeOf(const QRect& room, const QSize& size, const QRect& keepClear) {
    const QRect centred(room.center() - QPoint(size.width() / 2, size.height() / 2), size);
    if (keepClear.isEmpty() || !centred.intersects(keepClear)) return centred.topLeft();
    // The desktop puts a title bar above the window: room for it is left at the foot of the screen.
    const int titleBar = 32;
    return {room.left(), std::max(room.top(), room.bottom() + 1 - size.height() - titleBar)};
}

PageForm* PageChain::showPage(const QString& name, const QWidget* from) {
    const PageSpec* spec = m_spec.find(name);
    if (!spec) return nullptr;
    QScreen* screen = QGuiApplication::primaryScreen();
    auto* page = new PageForm(*spec, m_spec.size, this);
    page->setKeepClear(m_keepClear ? *m_keepClear
                                   : orbinFirstPlace(screen ? screen->geometry().size() : QSize(1024, 768)));
    if (spec->topmost) modFunctions::setTopmost(page, true);
    if (from && !from->isMaximized()) {
        // The new page takes the place and size the user left the old one at.
        page->resize(from->size());
        page->move(from->pos());
        page->show();
    } else if (from ? from->isMaximized() : m_maximized) {
        page->showMaximized();
    } else {
        const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize size = m_spec.size.boundedTo(room.size());
        page->resize(size);
        page->move(placeOf(room, size, page->keepClear()));
        page->show();
    }
    page->activateWindow();
    page->setFocus();
    m_current = page;
    return page;
}

void PageChain::go(PageForm* from, const QString& target) {
    // The next page is up before this one goes, so the program never runs without a page.
    showPage(target, from);
    from->unloadForm();
}

void PageChain::buttonClicked(PageForm* page, const PageButton& button) {
    switch (button.action) {
    case PageButton::Action::Go:
        go(page, button.target);
        break;
    case PageButton::Action::End:
        modFunctions::endTour();
        break;
    case PageButton::Action::Close:
        page->unloadForm();
        break;
    }
}

void PageChain::pictureClicked(PageForm* page) {
    // The page lets other windows over it from now on, so the user can turn to the real program.
    modFunctions::setTopmost(page, false);
    prompter().messageBox(m_spec.noticeText, Prompter::Buttons::OK, Prompter::Icon::None, m_spec.noticeTitle);
}

void PageChain::pageUnloaded() {
    if (forms::loaded().isEmpty()) Q_EMIT ended();
}
