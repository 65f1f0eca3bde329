#include "core/Settings.h"
#include "orbin/frmFloater.h"
#include "platform/Twips.h"
#include "tests/pages/PageFixture.h"
#include "tests/support/FakeForm.h"
#include "tests/support/TestEnv.h"

#include <QScrollArea>
#include <QScrollBar>

namespace {

const QSize Screen(1280, 1024);

// Shows one page at a place on the screen, with the orbin's first place to keep clear of, and says what of
// it lies there: every label and button whose rectangle meets that place, and the picture if it does.
QStringList whatLiesUnder(const ChainSpec& spec, const PageSpec& p, const QRect& where, const QRect& orbin) {
    PageChain chain(spec);
    auto* form = new PageForm(p, spec.size, &chain);
    form->setKeepClear(orbin);
    form->setGeometry(where);
    form->show();
    QCoreApplication::processEvents();
    QStringList under;
    auto onScreen = [](const QWidget* w, QRect r) { return r.translated(w->mapToGlobal(QPoint(0, 0))); };
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(form)) continue;
        if ((qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w)) &&
            onScreen(w, w->rect()).intersects(orbin))
            under << w->objectName();
        if (auto* picture = qobject_cast<PagePictureBox*>(w);
            picture && onScreen(w, picture->pictureRect()).intersects(orbin))
            under << w->objectName();
    }
    auto* column = form->findChild<QScrollArea*>(QStringLiteral("textColumn"));
    if (column && column->verticalScrollBar()->maximum() > 0)
        under
            << QStringLiteral("(the text scrolls by %1 pixels)").arg(column->verticalScrollBar()->maximum());
    form->unloadForm();
    return under;
}

} // namespace

// The tour's pages and the readers' pages open while the orbin stands where it first stands; page 4 of the
// tour and the second page of Article6 are not kept above it. What they say stays out from under it.
TEST_F(Pages, NoTextOfAnyPageLiesWhereTheOrbinFirstStands) {
    const QRect orbin = orbinFirstPlace(Screen);
    const QRect room(QPoint(0, 0), Screen);
    // The desktop's title bar puts the inside of a window lower by as much as it is high.
    for (const int titleBar : {0, 19, 30}) {
        SCOPED_TRACE(titleBar);
        for (int n = 0; n <= 10; ++n) {
            const QString name = n ? QStringLiteral("article%1").arg(n) : QStringLiteral("welcome");
            const ChainSpec spec = loadChain(QStringLiteral(":/%1/pages.xml").arg(name));
            QList<QRect> places{QRect(PageChain::placeOf(room, spec.size, orbin), spec.size)};
            // The main program starts the tour filling the screen.
            if (!n) places << room;
            for (QRect where : places) {
                where.adjust(0, titleBar, 0, where == room ? 0 : titleBar);
                for (const PageSpec& p : spec.pages) {
                    EXPECT_EQ(whatLiesUnder(spec, p, where, orbin), QStringList())
                        << p.name.toStdString() << " at " << where.x() << "," << where.y() << " "
                        << where.width() << "x" << where.height();
                    flush();
                }
            }
        }
    }
}

// The place the pages keep clear of is where the orbin itself opens at the first start.
TEST_F(Pages, TheOrbinsFirstPlaceIsWhereTheOrbinOpens) {
    TestEnv env;
    Settings settings;
    FakeForm orbin(QStringLiteral("frmFloater"), {0, 0, frmFloater::DesignWidth, frmFloater::ExpandedHeight},
                   twips::fromPixels(Screen.width()), twips::fromPixels(Screen.height()));
    ASSERT_TRUE(settings.positionForm(&orbin, true, false));
    const FormPort::Rect r = orbin.twipGeometry();
    EXPECT_EQ(orbinFirstPlace(Screen), QRect(twips::toPixels(r.left), twips::toPixels(r.top),
                                             twips::toPixels(r.width), twips::toPixels(r.height)));
    EXPECT_EQ(orbinFirstPlace(Screen), QRect(401, 2, 479, 422));
}
