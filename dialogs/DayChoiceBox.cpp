#include "dialogs/DayChoiceBox.h"

#include "core/DateTexts.h"
#include "core/DayChoices.h"
#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Globals.h"
#include "dialogs/DialogControls.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/gui/FormWidget.h"

#include <QComboBox>
#include <QLineEdit>

namespace {
const QString Today = QStringLiteral("Today");
}

DayChoiceBox::DayChoiceBox(QWidget* frame, const QRectF& list, const QRectF& box, QObject* parent)
    : QObject(parent), m_cmbDate(new QComboBox(frame)),
      m_txtDate(dialogcontrols::textBox(frame, "txtDate", box.x(), box.y(), box.width(), box.height())) {
    m_cmbDate->setObjectName(QStringLiteral("cmbDate"));
    m_cmbDate->setEditable(true);
    m_cmbDate->setInsertPolicy(QComboBox::NoInsert);
    placeTwips(m_cmbDate, list.x(), list.y(), list.width(), list.height());
    m_txtDate->setText(Today);
    connect(m_cmbDate, &QComboBox::activated, this,
            [this](int index) { Q_EMIT cmbDate_Click(m_cmbDate->itemText(index)); });
    connect(m_txtDate, &QLineEdit::textEdited, this, &DayChoiceBox::matchList);
}

QDate DayChoiceBox::orbinDay() {
    return gGame ? gGame->controls().lblDate : QDate();
}

QString DayChoiceBox::orbinDayCaption() {
    const QDate day = orbinDay();
    return day.isValid() ? shortDateText(day) : QStringLiteral("Start");
}

void DayChoiceBox::fillChoices(const QDate& start) {
    m_cmbDate->clear();
    m_cmbDate->setEditText(Today);
    QStringList days;
    fillDayChoices(start, days);
    m_cmbDate->addItems(days);
    // Each choice keeps the day it stands for, as applyDayChoice reads it.
    for (qsizetype i = 0; i < days.size(); ++i)
        m_cmbDate->setItemData(
            static_cast<int>(i),
            QDate::fromString(dayChoices().at(static_cast<size_t>(i) + 1).dateText, Qt::ISODate));
    matchList();
}

void DayChoiceBox::showDate(const QDate& day) {
    show(shortDateText(day), day, false);
}

void DayChoiceBox::showText(const QString& text) {
    show(text, QDate(), false);
}

void DayChoiceBox::showUnreadable() {
    show(QString(), QDate(), true);
}

void DayChoiceBox::show(const QString& text, const QDate& day, bool unreadable) {
    m_shown = day;
    m_shownText = text;
    m_unreadable = unreadable;
    m_txtDate->setText(text);
    // A text wider than the box shows from its start.
    m_txtDate->setCursorPosition(0);
    matchList();
}

bool DayChoiceBox::keepsStored() const {
    return m_unreadable && m_txtDate->text() == m_shownText;
}

void DayChoiceBox::matchList() {
    const std::optional<QDate> day = keepsStored() ? std::nullopt : date();
    int index = -1;
    QString text;
    if (day && *day == appClock().today()) {
        index = m_cmbDate->findText(Today);
        text = Today;
    } else if (day) {
        for (int i = 0; i < m_cmbDate->count() && index < 0; ++i)
            if (m_cmbDate->itemText(i) != Today && m_cmbDate->itemData(i).toDate() == *day) index = i;
        if (index >= 0) text = m_cmbDate->itemText(index);
    }
    // Only a pick by the user acts as a choice (activated); setting the index does not.
    m_cmbDate->setCurrentIndex(index);
    m_cmbDate->setEditText(text);
}

void DayChoiceBox::showOrbinDay() {
    const QDate day = orbinDay();
    if (day.isValid())
        showDate(day);
    else
        showText(orbinDayCaption());
}

void DayChoiceBox::choose(const QString& text) {
    applyDayChoice(text);
    if (m_cmbDate->count() == 0 || m_cmbDate->itemText(0) != Today) m_cmbDate->insertItem(0, Today);
    if (text == Today) gChosenDate = appClock().today();
    showDate(gChosenDate);
}

std::optional<QDate> DayChoiceBox::date() const {
    const QString text = m_txtDate->text();
    if (text == m_shownText) {
        if (m_shown.isValid()) return m_shown;
        return std::nullopt;
    }
    return readDateText(text);
}

std::optional<QDate> DayChoiceBox::dateOrComplain() const {
    const std::optional<QDate> day = date();
    if (day) return day;
    prompter().beep();
    prompter().messageBox(QStringLiteral("\"%1\" is not a date. Choose a day from the list, or type a date "
                                         "such as %2.")
                              .arg(m_txtDate->text(), shortDateText(appClock().today())),
                          Prompter::Buttons::OK, Prompter::Icon::Exclamation, QStringLiteral("Quorvane"));
    m_txtDate->setFocus();
    m_txtDate->selectAll();
    return std::nullopt;
}
