#pragma once

#include "FormPort.h"

#include <QList>
#include <map>

// A form without a window: a name, a place in twips on a screen of a set size, colours.
class FakeForm final : public FormPort {
public:
    explicit FakeForm(QString name, Rect rect = {0, 0, 3000, 2000}, double screenW = 19200,
                      double screenH = 15360)
        : m_name(std::move(name)), m_rect(rect), m_screenW(screenW), m_screenH(screenH) {}

    QString formName() const override { return m_name; }
    quintptr windowHandle() const override { return reinterpret_cast<quintptr>(this); }
    Rect twipGeometry() const override { return m_rect; }
    void moveTwips(double left, double top, double width, double height) override {
        m_rect = {left, top, width, height};
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
    void hideForm() override { hidden = true; }
    void unloadForm() override { unloaded = true; }

    struct Control {
        std::optional<qint64> color;
        std::optional<qint64> backColor;
    };
    QList<Control> controls;
    qint64 back = 0;
    int moves = 0;
    bool hidden = false;
    bool unloaded = false;

private:
    QString m_name;
    Rect m_rect;
    double m_screenW, m_screenH;
};
