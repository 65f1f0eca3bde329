#include "orbin/frmSearch.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "dialogs/ItemOpeners.h"
#include "orbin/OrbinDuties.h"
#include "platform/NumberText.h"
#include "platform/Twips.h"

#include <QListWidget>
#include <QPointer>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QString Error = QStringLiteral(" Error");
} // namespace

frmSearch::frmSearch(QWidget* parent)
    : FormWidget(QStringLiteral("frmSearch"), parent, Qt::Tool | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Search"));
    resize(twips::toPixels(DesignWidth), twips::toPixels(DesignHeight));
    m_lstSearch = new QListWidget(this);
    m_lstSearch->setObjectName(QStringLiteral("lstSearch"));
    m_lstSearch->setFocusPolicy(Qt::NoFocus); // typing goes on in the orbin's search box
    m_lstSearch->setUniformItemSizes(true);
    m_lstSearch->setTextElideMode(Qt::ElideMiddle);
    m_lstSearch->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_lstSearch->setMouseTracking(true);
    // A drop-down under the search box, in the orbin's blue.
    m_lstSearch->setStyleSheet(QStringLiteral(
        "QListWidget { border: 1px solid #5b7fa8; background: white; outline: none; padding: 1px; }"
        "QListWidget::item { padding: 3px 4px; border: none; color: #1d3f66; }"
        "QListWidget::item:hover { background: #e4eef9; }"
        "QListWidget::item:selected { background: #3d7ebf; color: white; }"));
    m_lstSearch->setCursor(Qt::PointingHandCursor);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lstSearch);
    connect(m_lstSearch, &QListWidget::itemClicked, this, &frmSearch::lstSearch_Click);
    Form_Load();
}

frmSearch* frmSearch::instance() {
    static QPointer<frmSearch> form;
    return sharedForm(form, orbinduties::companionOwner);
}

void frmSearch::Form_Load() {
    trapped(QStringLiteral(" - frmSearch.Form_Load: "), Error, [&] {
        setTopMost(true);
        if (!gOrbinWindow) return;
        if (FormPort* orbin = gOrbinWindow->form()) {
            const Rect at = orbin->twipGeometry();
            const Rect own = twipGeometry();
            moveTwips(std::nearbyint(at.left + OffsetLeft), std::nearbyint(at.top + OffsetTop), own.width,
                      own.height);
        }
    });
}

void frmSearch::lstSearch_Click() {
    trapped(QStringLiteral(" - frmSearch.lstSearch_Click: "), Error, [&] {
        const QListWidgetItem* hit = m_lstSearch->currentItem();
        if (!hit) return;
        const Integer id = numtext::toInteger(hit->data(Qt::UserRole));
        if (id < Integer(1)) return;
        const QString type = gItems->Type_(id).toLower();
        if (type == QStringLiteral("task"))
            openEditTask(id);
        else if (type == QStringLiteral("meeting"))
            openEditMeeting(id);
    });
}
