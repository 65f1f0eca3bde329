#pragma once

#include <QString>
#include <exception>

// A failure of the program: the classic runtime number, the component that raised it and its description.
// Procedures that trap failures hand them to the error reporter; the others let them pass upward.
class Failure : public std::exception {
public:
    explicit Failure(int number, QString description = {}, QString source = {});

    int number() const noexcept { return m_number; }
    const QString& source() const noexcept { return m_source; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

    // The classic description of a runtime error number ("Overflow" for 6, "Type mismatch" for 13...).
    static QString classicDescription(int number);

private:
    int m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};

// The numbers the program relies on.
namespace err {
inline constexpr int InvalidCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidUseOfNull = 94;
} // namespace err
