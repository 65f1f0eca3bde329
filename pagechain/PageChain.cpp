#include "PageChain.h"

#include "FormPort.h"
#include "PageWidgets.h"
#include "Prompter.h"
#include "WindowProcs.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

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

} // namespace

PageForm::PageForm(const PageSpec& spec, QSize sheetSize, PageChain* owner)
    : FormWidget(spec.name), m_spec(spec), m_chain(owner) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(spec.caption);
    setStyleSheet(QString::fromLatin1(PageStyle));
    setAutoFillBackground(true);

    // The page is a sheet of the size it was written for; a larger window centres it.
    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* sheet = new QWidget(this);
    sheet->setObjectName(QStringLiteral("sheet"));
    sheet->setAttribute(Qt::WA_StyledBackground);
    sheet->setMaximumSize(sheetSize);
    outer->addWidget(sheet, 0, 0);

    auto* page = new QVBoxLayout(sheet);
    page->setContentsMargins(32, 24, 32, 18);
    page->setSpacing(14);

    // A heading that opens a page with a picture runs across it, above the text and the picture; on a
    // page of prose alone it heads the column.
    int first = 0;
    if (spec.picture && !spec.items.isEmpty() && spec.items.first().kind == PageItem::Kind::Heading) {
        page->addWidget(makeLabel(spec.items.first(), sheet));
        first = 1;
    }

    auto* body = new QHBoxLayout;
    body->setSpacing(28);
    page->addLayout(body, 1);

    auto* scroll = new QScrollArea(sheet);
    scroll->setObjectName(QStringLiteral("textColumn"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* column = new QWidget(scroll);
    auto* text = new QVBoxLayout(column);
    text->setContentsMargins(0, 0, 6, 0);
    text->setSpacing(10);
    for (int i = first; i < spec.items.size(); ++i) {
        const PageItem& item = spec.items.at(i);
        // A sub-heading stands apart from the paragraph above it.
        if (item.kind == PageItem::Kind::Subheading && i > first) text->addSpacing(8);
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
    scroll->setWidget(column);

    if (spec.picture) {
        scroll->setMinimumWidth(360);
        scroll->setMaximumWidth(560);
        body->addWidget(scroll, 2);
        auto* picture = new PagePictureBox(QPixmap(spec.picture->path), sheet);
        picture->setObjectName(spec.picture->name);
        body->addWidget(picture, 3);
        if (spec.picture->notice)
            connect(picture, &PagePictureBox::clicked, this, [this] {
                if (m_chain) m_chain->pictureClicked(this);
            });
    } else {
        // Prose alone reads best in a column of a book's width.
        scroll->setMaximumWidth(720);
        body->addStretch(1);
        body->addWidget(scroll, 4);
        body->addStretch(1);
    }

    auto* rule = new QFrame(sheet);
    rule->setObjectName(QStringLiteral("rule"));
    rule->setFrameShape(QFrame::HLine);
    page->addWidget(rule);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* last = nullptr;
    for (const PageButton& b : spec.buttons) {
        auto* button = new QPushButton(b.caption, sheet);
        button->setObjectName(b.name);
        button->setMinimumWidth(96);
        button->setAutoDefault(true);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, b] {
            if (m_chain) m_chain->buttonClicked(this, b);
        });
        last = button;
    }
    page->addLayout(buttons);
    // The way on (Next, Start, Done) stands last and has the focus.
    if (last) setFocusProxy(last);
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

PageForm* PageChain::showPage(const QString& name, const QWidget* from) {
    const PageSpec* spec = m_spec.find(name);
    if (!spec) return nullptr;
    auto* page = new PageForm(*spec, m_spec.size, this);
    if (spec->topmost) modFunctions::setTopmost(page, true);
    if (from && !from->isMaximized()) {
        // The new page takes the place and size the user left the old one at.
        page->resize(from->size());
        page->move(from->pos());
        page->show();
    } else if (from ? from->isMaximized() : m_maximized) {
        page->showMaximized();
    } else {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize size = m_spec.size.boundedTo(room.size());
        page->resize(size);
        page->move(room.center() - QPoint(size.width() / 2, size.height() / 2));
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
