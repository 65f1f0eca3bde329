#include "platform/gui/FormWidget.h"
#include "platform/gui/WindowProcs.h"

#include <gtest/gtest.h>

TEST(FormWidgetProcs, TopMostMoveAndShowThroughThePort) {
    auto* w = new FormWidget(QStringLiteral("frmTest"), nullptr, Qt::Window | Qt::FramelessWindowHint);
    w->setGeometry(100, 50, 200, 120);
    w->show();
    FormPort* port = w;

    port->setTopMost(true);
    EXPECT_TRUE(windowprocs::isTopMost(w));
    EXPECT_TRUE(w->isVisible()); // staying on top does not hide the window
    port->setTopMost(false);
    EXPECT_FALSE(windowprocs::isTopMost(w));

    port->moveBy(150, -300); // 10 pixels right, 20 up
    EXPECT_EQ(w->pos(), QPoint(110, 30));
    EXPECT_EQ(w->size(), QSize(200, 120));
    port->redraw();

    port->hideForm();
    EXPECT_FALSE(w->isVisible());
    port->showForm();
    EXPECT_TRUE(w->isVisible());
    w->unloadForm();
}
