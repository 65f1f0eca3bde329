#include "platform/gui/FormWidget.h"
#include "platform/Twips.h"
#include "platform/gui/ColorCodec.h"
#include "platform/gui/WindowProcs.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

class Probe : public FormWidget {
public:
    explicit Probe(const QString& name) : FormWidget(name) {}
    int unloads = 0;

protected:
    void formUnload() override { ++unloads; }
};

} // namespace

TEST(FormWidget, PlaceIsServedInTwipsAtFifteenAPixel) {
    Probe form(QStringLiteral("frmProbe"));
    form.moveTwips(1500, 450, 7185, 6330);
    EXPECT_EQ(form.geometry().size(), QSize(479, 422));
    EXPECT_EQ(form.pos(), QPoint(100, 30));
    const FormPort::Rect r = form.twipGeometry();
    EXPECT_DOUBLE_EQ(r.left, 1500);
    EXPECT_DOUBLE_EQ(r.top, 450);
    EXPECT_DOUBLE_EQ(r.width, 7185);
    EXPECT_DOUBLE_EQ(r.height, 6330);
    EXPECT_EQ(twips::toPixels(315), 21);
    EXPECT_GT(form.screenWidthTwips(), 0);
}

TEST(FormWidget, LoadedFormsKeepLoadOrderAndLoseAFormTheMomentItUnloads) {
    auto* first = new Probe(QStringLiteral("frmFirst"));
    QPointer<Probe> second = new Probe(QStringLiteral("frmSecond"));
    ASSERT_EQ(forms::loaded().size(), 2);
    EXPECT_EQ(forms::loaded()[0]->formName(), QStringLiteral("frmFirst"));
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("FRMSECOND")));
    second->unloadForm();
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmSecond")));
    EXPECT_EQ(second->unloads, 1);
    second->unloadForm();
    EXPECT_EQ(second->unloads, 1) << "unload runs once";
    first->close();
    EXPECT_TRUE(forms::loaded().isEmpty()) << "a close unloads";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
}

TEST(FormWidget, ColoursKeepTheNumberTheyWereGiven) {
    Probe form(QStringLiteral("frmColours"));
    auto* label = new QLabel(&form);
    label->setProperty("Color", qint64(255));
    form.setFormBackColor(-2147483643); // the system window background
    EXPECT_EQ(form.formBackColor(), -2147483643);
    ASSERT_EQ(form.controlCount(), 1);
    EXPECT_EQ(form.controlColor(0, FormPort::ColorProperty::Color), 255);
    EXPECT_TRUE(form.setControlColor(0, FormPort::ColorProperty::BackColor, 192));
    EXPECT_EQ(form.controlColor(0, FormPort::ColorProperty::BackColor), 192);
    EXPECT_EQ(label->palette().color(label->backgroundRole()), QColor(192, 0, 0));
}

TEST(ColorCodec, NumbersAreBlueGreenRedAndTheTopBitNamesASystemColour) {
    EXPECT_EQ(colorcodec::toColor(255), QColor(255, 0, 0));
    EXPECT_EQ(colorcodec::toColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(colorcodec::toColor(14737632), QColor(224, 224, 224));
    EXPECT_EQ(colorcodec::fromColor(QColor(0, 128, 0)), 32768);
    QPalette p;
    p.setColor(QPalette::Active, QPalette::Highlight, QColor(1, 2, 3));
    EXPECT_TRUE(colorcodec::isSystemColor(-2147483646));
    EXPECT_EQ(colorcodec::toColor(-2147483646, p), QColor(1, 2, 3)); // &H80000002
    EXPECT_EQ(colorcodec::toColor(0x80000002LL, p), QColor(1, 2, 3));
}

TEST(WindowProcs, TopMostTogglesWithoutHidingAShownWindow) {
    Probe form(QStringLiteral("frmTop"));
    form.show();
    windowprocs::setTopMost(&form, true);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(windowprocs::isTopMost(&form));
    windowprocs::setTopMost(&form, false);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(windowprocs::isTopMost(&form));
}
