#pragma once

#include "platform/FormPort.h"

#include <QList>

// A form without a window: a name, a place in twips on a screen of a set size, colours, and a record
// of what was asked of it.
class FakeForm : public FormPort {
public:
    explicit FakeForm(QString name, Rect place = {0, 0, 3000, 2000}, double screenW = 19200,
                      double screenH = 15360)
        : rect(place), m_name(std::move(name)), m_screenW(screenW), m_screenH(screenH) {}

    QString formName() const override { return m_name; }
    quintptr windowHandle() const override { return handle ? handle : reinterpret_cast<quintptr>(this); }
    Rect twipGeometry() const override { return rect; }
    void moveTwips(double left, double top, double width, double height) override {
        rect = {left, top, width, height};
        ++moves;
    }
    double screenWidthTwips() const override { return m_screenW; }
    double screenHeightTwips() const override { return m_screenH; }

    std::optional<qint64> formBackColor() const override { return back; }
    void setFormBackColor(qint64 c) override { back = c; }
    int controlCount() const override { return static_cast<int>(controls.size()); }
    std::optional<qint64> controlColor(int i, ColorProperty p) const override {
        const auto& c = controls.at(i);
        return p == ColorProperty::Color ? c.color : c.backColor;
    }
    bool setControlColor(int i, ColorProperty p, qint64 value) override {
        auto& c = controls[i];
        (p == ColorProperty::Color ? c.color : c.backColor) = value;
        return true;
    }
    void hideForm() override { visible = false; }
    void showForm() override { visible = true; }
    bool isFormVisible() const override { return visible; }
    void unloadForm() override {
        unloaded = true;
        forms::remove(this);
    }
    void setTopMost(bool onTop) override { topMost = onTop; }
    void redraw() override { ++redraws; }

    struct Control {
        std::optional<qint64> color;
        std::optional<qint64> backColor;
    };
    QList<Control> controls;
    Rect rect;
    quintptr handle = 0;
    qint64 back = 0;
    int moves = 0;
    int redraws = 0;
    bool visible = true;
    bool unloaded = false;
    bool topMost = false;

private:
    QString m_name;
    double m_screenW, m_screenH;
};

// The same form entered in the loaded forms for as long as it lives.
class LoadedFakeForm final : public FakeForm {
public:
    explicit LoadedFakeForm(QString name, quintptr windowHandle = 0)
        : FakeForm(std::move(name), {1000, 2000, 3000, 4000}, 15360, 11520) {
        handle = windowHandle;
        forms::add(this);
    }
    ~LoadedFakeForm() override { forms::remove(this); }
    LoadedFakeForm(const LoadedFakeForm&) = delete;
    LoadedFakeForm& operator=(const LoadedFakeForm&) = delete;
};
