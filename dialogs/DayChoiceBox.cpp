#include "DayChoiceBox.h"

#include "Clock.h"
#include "Functions.h"
#include "Game.h"
#include "GameControls.h"
#include "Globals.h"
#include "Prompter.h"

#include <QComboBox>
#include <QLineEdit>

namespace {
const QString Today = QStringLiteral("Today");
}

DayChoiceBox::DayChoiceBox(QComboBox* cmbDate, QLineEdit* txtDate, QObject* parent)
    : QObject(parent), m_cmbDate(cmbDate), m_txtDate(txtDate) {}

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
    m_cmbDate->setCurrentIndex(-1);
    m_cmbDate->setEditText(Today);
}

void DayChoiceBox::showDate(const QDate& day) {
    m_shown = day;
    m_shownText = shortDateText(day);
    m_txtDate->setText(m_shownText);
}

void DayChoiceBox::showText(const QString& text) {
    m_shown = QDate();
    m_shownText = text;
    m_txtDate->setText(text);
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
