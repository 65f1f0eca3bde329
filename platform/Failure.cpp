#include "platform/Failure.h"

Failure::Failure(int number, QString description, QString source)
    : m_number(number), m_source(source.isEmpty() ? QStringLiteral("Quorvane") : std::move(source)),
      m_description(description.isEmpty() ? classicDescription(number) : std::move(description)) {
    m_what = (QString::number(m_number) + QStringLiteral(" - ") + m_description).toUtf8();
}

QString Failure::classicDescription(int number) {
    switch (number) {
    case err::InvalidCall:
        return QStringLiteral("Invalid procedure call or argument");
    case err::Overflow:
        return QStringLiteral("Overflow");
    case err::OutOfMemory:
        return QStringLiteral("Out of memory");
    case err::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case err::DivisionByZero:
        return QStringLiteral("Division by zero");
    case err::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case err::BadFileName:
        return QStringLiteral("Bad file name or number");
    case err::FileNotFound:
        return QStringLiteral("File not found");
    case err::DiskFull:
        return QStringLiteral("Disk full");
    case err::PermissionDenied:
        return QStringLiteral("Permission denied");
    case err::PathFileAccess:
        return QStringLiteral("Path/File access error");
    case err::PathNotFound:
        return QStringLiteral("Path not found");
    case err::ObjectNotSet:
        return QStringLiteral("Object variable or With block variable not set");
    case err::InvalidUseOfNull:
        return QStringLiteral("Invalid use of Null");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}
