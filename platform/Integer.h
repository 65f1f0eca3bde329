#pragma once

#include <QtGlobal>
#include <compare>

// The program's whole number: signed 16 bits. Arithmetic that leaves the range raises 6 "Overflow"
// instead of wrapping.
class Integer {
public:
    static constexpr int Min = -32768;
    static constexpr int Max = 32767;

    constexpr Integer() = default;
    // Checked: a value outside the range raises 6 "Overflow".
    Integer(long long value); // NOLINT(google-explicit-constructor): used as a number

    constexpr int value() const noexcept { return m_value; }
    constexpr operator int() const noexcept { return m_value; } // NOLINT(google-explicit-constructor)

    friend Integer operator+(Integer a, Integer b) {
        return Integer(static_cast<long long>(a.m_value) + b.m_value);
    }
    friend Integer operator-(Integer a, Integer b) {
        return Integer(static_cast<long long>(a.m_value) - b.m_value);
    }
    friend Integer operator*(Integer a, Integer b) {
        return Integer(static_cast<long long>(a.m_value) * b.m_value);
    }
    Integer operator-() const { return Integer(-static_cast<long long>(m_value)); }
    Integer& operator+=(Integer o) { return *this = *this + o; }
    Integer& operator-=(Integer o) { return *this = *this - o; }
    friend constexpr bool operator==(Integer a, Integer b) noexcept { return a.m_value == b.m_value; }
    friend constexpr auto operator<=>(Integer a, Integer b) noexcept { return a.m_value <=> b.m_value; }

    // Raises 6 "Overflow" unless value fits.
    static void checkRange(long long value);

private:
    qint16 m_value = 0;
};
