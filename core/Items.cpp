#include "Items.h"

Integer Items::newItem(const QString&) {
    return Integer(0);
}
bool Items::setNow(const QDateTime&, Integer) {
    return false;
}
bool Items::setDate(const QDate&, Integer) {
    return false;
}
bool Items::setTitle(const QString&, Integer) {
    return false;
}
bool Items::setPeriod(const QString&, Integer) {
    return false;
}
bool Items::setEstimate(const QString&, Integer) {
    return false;
}
bool Items::setDone(const QString&, Integer) {
    return false;
}
bool Items::setDoneDate(const QString&, Integer) {
    return false;
}
bool Items::setPoints(Integer, Integer) {
    return false;
}
bool Items::setTimingBonus(Integer, Integer) {
    return false;
}
bool Items::setType(const QString&, Integer) {
    return false;
}
bool Items::saveItemXML() {
    return true;
}
bool Items::archiveData() {
    return true;
}
