#include "platform/Integer.h"

#include "platform/Failure.h"

Integer::Integer(long long value) {
    checkRange(value);
    m_value = static_cast<qint16>(value);
}

void Integer::checkRange(long long value) {
    if (value < Min || value > Max) throw Failure(err::Overflow);
}
