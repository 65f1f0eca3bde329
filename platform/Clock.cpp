#include "platform/Clock.h"

QDateTime Clock::now() const {
    return QDateTime::currentDateTime();
}
