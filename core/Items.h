#pragma once

#include "Integer.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// The store of every task and meeting. (Start-up's least: the item store proper replaces this.)
class Items {
public:
    Items() = default;

    Integer newItem(const QString& type);
    bool setNow(const QDateTime& value, Integer id = 0);
    bool setDate(const QDate& value, Integer id = 0);
    bool setTitle(const QString& value, Integer id = 0);
    bool setPeriod(const QString& value, Integer id = 0);
    bool setEstimate(const QString& value, Integer id = 0);
    bool setDone(const QString& value, Integer id = 0);
    bool setDoneDate(const QString& value, Integer id = 0);
    bool setPoints(Integer value, Integer id = 0);
    bool setTimingBonus(Integer value, Integer id = 0);
    bool setType(const QString& value, Integer id = 0);

    bool saveItemXML();
    bool archiveData();
};
