// The orbin's search: the box over the top strip, its close cross, and the list of hits beside the window.

#include "orbin/frmFloater.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "orbin/OrbinPicture.h"
#include "orbin/frmSearch.h"
#include "platform/NumberText.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"

#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

const QString frmFloater::SearchPrompt = QStringLiteral("Enter search text here!");

// The search box and its close cross over the top strip, made at the first search: a start that shows
// the orbin need not wait for them.
void frmFloater::makeSearchBox() {
    if (m_txtSearch) return;
    m_txtSearch = new QLineEdit(this);
    m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
    placeTwips(m_txtSearch, 4950, 0, 2055, 285);
    m_txtSearch->installEventFilter(this);
    m_txtSearch->hide();
    // The close cross is a small grey one inside the right end of the box, well apart from the red quit
    // cross beside the box, and the text stops short of it.
    m_fraCloseSearch = new QFrame(this);
    m_fraCloseSearch->setObjectName(QStringLiteral("fraCloseSearch"));
    const QRect box = m_txtSearch->geometry();
    const int side = twips::toPixels(135);
    const int frame = m_txtSearch->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_txtSearch);
    m_fraCloseSearch->setGeometry(box.right() - frame - CrossGap - side + 1,
                                  box.top() + (box.height() - side) / 2, side, side);
    m_imgCloseSearch =
        placePicture(OrbinPicture::Kind::CloseSearch, "imgCloseSearch", m_fraCloseSearch, 0, 0, 135, 135);
    m_imgCloseSearch->setCursor(Qt::PointingHandCursor);
    m_fraCloseSearch->hide();
    m_txtSearch->setTextMargins(0, 0, box.right() - m_fraCloseSearch->geometry().left() + 1, 0);
    // The prompt is seen whole: the box reaches further left over the tasks button as far as it needs.
    QStyleOptionFrame option;
    option.initFrom(m_txtSearch);
    option.rect = m_txtSearch->rect();
    option.lineWidth = m_txtSearch->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, m_txtSearch);
    const QRect contents =
        m_txtSearch->style()->subElementRect(QStyle::SE_LineEditContents, &option, m_txtSearch);
    const QMargins margins = m_txtSearch->textMargins();
    const int room = contents.width() - margins.left() - margins.right() - 2 * LineEditPadding;
    // The box keeps a pixel beside the text for the cursor.
    const int short_ = m_txtSearch->fontMetrics().horizontalAdvance(SearchPrompt) + 1 - room;
    if (short_ > 0) m_txtSearch->setGeometry(box.adjusted(-short_, 0, 0, 0));
    connect(m_txtSearch, &QLineEdit::textChanged, this, &frmFloater::txtSearch_Change);
}

void frmFloater::btnSearch_Click() {
    trapped(QStringLiteral(" - frmFloater.btnSearch_Click: "), QStringLiteral(" Error"), [&] {
        makeSearchBox();
        m_txtSearch->show();
        // The prompt is searched for once, as any change of the text is, even when it stood there already.
        {
            const QSignalBlocker quiet(m_txtSearch);
            m_txtSearch->setText(SearchPrompt);
        }
        txtSearch_Change();
        m_txtSearch->raise();
        // The whole text selected from its end back to its start: the cursor rests at the start, so the
        // box, narrower than the prompt, shows the prompt from its first letter.
        const int length = static_cast<int>(m_txtSearch->text().size());
        m_txtSearch->setSelection(length, -length);
        m_fraCloseSearch->show();
        m_fraCloseSearch->raise();
        // The list comes up without taking the keyboard from the box.
        windowprocs::showWithoutActivating(frmSearch::instance());
        activateWindow();
        m_txtSearch->setFocus();
    });
}

void frmFloater::txtSearch_Change() {
    trapped(QStringLiteral(" - frmFloater.txtSearch_Change: "), QStringLiteral(" Error"), [&] {
        QListWidget* list = frmSearch::instance()->lstSearch();
        list->clear();
        const QStringList ids = gItems->getIDsMatchingString(m_txtSearch->text());
        if (ids.isEmpty() || ids.first().isEmpty()) return;
        for (const QString& text : ids) {
            // Only ids that name an item: whole numbers from 1 up.
            const std::optional<double> number = numtext::parseNumber(text);
            if (!number || *number < 1 || *number > 32767 || *number != std::floor(*number)) continue;
            addSearchHit(list, numtext::toInteger(*number));
        }
    });
}

// One hit of the list: the item's title and type, and its id.
void frmFloater::addSearchHit(QListWidget* list, Integer id) {
    const QString title = gItems->Title(id);
    auto* entry = new QListWidgetItem((title.isEmpty() ? NoTitle : title) + QStringLiteral(" (") +
                                      gItems->Type_(id) + QStringLiteral(")"));
    entry->setData(Qt::UserRole, id.value());
    list->addItem(entry);
}

void frmFloater::txtSearch_Click() {
    if (m_txtSearch && m_txtSearch->text() == SearchPrompt) m_txtSearch->setText(QString());
}

void frmFloater::imgCloseSearch_Click() {
    ignoringFailures([&] {
        if (m_txtSearch) m_txtSearch->hide();
        if (m_fraCloseSearch) m_fraCloseSearch->hide();
    });
    ignoringFailures([&] {
        if (FormPort* list = forms::find(QStringLiteral("frmSearch"))) {
            frmSearch::instance()->lstSearch()->clear();
            list->unloadForm();
        }
    });
}
