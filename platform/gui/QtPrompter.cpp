#include "platform/gui/QtPrompter.h"

#include "platform/gui/ColorCodec.h"
#include "platform/gui/WindowProcs.h"

#include <QApplication>
#include <QColorDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSpacerItem>
#include <QTimer>
#include <algorithm>

namespace {
Q_LOGGING_CATEGORY(lcPrompter, "quorvane.prompter", QtWarningMsg)
} // namespace

Prompter::Answer QtPrompter::messageBox(const QString& text, Buttons buttons, Icon icon,
                                        const QString& title) {
    return show(text, buttons, icon, title, std::nullopt);
}

Prompter::Answer QtPrompter::messageBoxWithDefault(const QString& text, Buttons buttons, Icon icon,
                                                   const QString& title, Answer defaultAnswer) {
    return show(text, buttons, icon, title, defaultAnswer);
}

Prompter::Answer QtPrompter::show(const QString& text, Buttons buttons, Icon icon, const QString& title,
                                  std::optional<Answer> defaultAnswer) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    QList<QPair<QMessageBox::StandardButton, Answer>> set;
    switch (buttons) {
    case Buttons::OK:
        set = {{QMessageBox::Ok, OK}};
        break;
    case Buttons::OKCancel:
        set = {{QMessageBox::Ok, OK}, {QMessageBox::Cancel, Cancel}};
        break;
    case Buttons::AbortRetryIgnore:
        set = {{QMessageBox::Abort, Abort}, {QMessageBox::Retry, Retry}, {QMessageBox::Ignore, Ignore}};
        break;
    case Buttons::YesNoCancel:
        set = {{QMessageBox::Yes, Yes}, {QMessageBox::No, No}, {QMessageBox::Cancel, Cancel}};
        break;
    case Buttons::YesNo:
        set = {{QMessageBox::Yes, Yes}, {QMessageBox::No, No}};
        break;
    case Buttons::RetryCancel:
        set = {{QMessageBox::Retry, Retry}, {QMessageBox::Cancel, Cancel}};
        break;
    }
    QMessageBox::StandardButtons mask;
    for (const auto& b : set)
        mask |= b.first;
    box.setStandardButtons(mask);
    box.setDefaultButton(set.front().first);
    for (const auto& b : set)
        if (defaultAnswer == b.second) box.setDefaultButton(b.first);
    // A short text would leave the box too narrow for its title to be read; the box sizes itself from its
    // layout, so a spacer across it sets the least width.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(windowprocs::titleWidth(&box, title), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    // Once the box is up, a line in the program's log says so, for whoever watches it (off unless the
    // category "quorvane.prompter" is turned on).
    QTimer::singleShot(0, &box, [&box] { qCInfo(lcPrompter).noquote() << "box up:" << box.windowTitle(); });
    const int pressed = box.exec();
    for (const auto& b : set)
        if (pressed == b.first) return b.second;
    // Closed by the window manager: the box's cancelling answer, or its only one.
    for (const auto& b : set)
        if (b.second == Cancel || b.second == No) return b.second;
    return set.front().second;
}

QString QtPrompter::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    // Above the windows that stay on top (the orbin, the dialog that asks), like the message boxes:
    // behind them the box would hold the keyboard out of sight.
    QInputDialog box;
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    // Wide enough for its title to be read in the title bar.
    if (auto* line = box.findChild<QLineEdit*>())
        line->setMinimumWidth(std::max(320, windowprocs::titleWidth(&box, title)));
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

std::optional<qint64> QtPrompter::chooseColor(qint64 initial) {
    const QColor c = QColorDialog::getColor(colorcodec::toColor(initial), QApplication::activeWindow(),
                                            QStringLiteral("Color picker"));
    if (!c.isValid()) return std::nullopt;
    return colorcodec::fromColor(c);
}

void QtPrompter::beep() {
    QApplication::beep();
}
