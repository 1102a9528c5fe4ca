#pragma once
// Money in whole cents. Amounts are stored as single-precision floats ("%g"), so a stored 49.99
// is held as 49.9900016...; its cents are taken from the two-decimal text that every money text
// of the program shows, which is the decimal value the user typed, and sums of cents carry no
// float noise however many entries they add up.
#include <compare>

#include "biz/BizExport.h"
#include "platform/CString.h"

class QUILLMAR_BIZ_EXPORT CAmount {
public:
    CAmount() = default;
    static CAmount FromCents(long long cents);
    // The cents of the "%.2f" text of the value (rounded as every money text rounds it); 0 for
    // a value that is not a number, and clamped far beyond any sum of float amounts.
    static CAmount FromFloat(float value);

    long long Cents() const { return m_cents; }
    bool IsZero() const { return m_cents == 0; }
    // "1234.50", "-5.00", "0.00": a dot and two decimals, no grouping, whatever the locale.
    CString Format() const;
    // The user's money text ("$1,234.50", "($5.00)").
    CString FormatMoney() const;
    // The nearest float, for code that still works in floats.
    float ToFloat() const;

    // This amount times a rate given in hundredths of a percent (1900 = 19 %), rounded to the
    // cent half away from zero.
    CAmount TimesPercent(int rateHundredths) const;

    CAmount& operator+=(CAmount other);
    CAmount& operator-=(CAmount other);
    friend CAmount operator+(CAmount a, CAmount b) { return a += b; }
    friend CAmount operator-(CAmount a, CAmount b) { return a -= b; }
    friend bool operator==(CAmount a, CAmount b) = default;
    friend auto operator<=>(CAmount a, CAmount b) = default;

private:
    long long m_cents = 0;
};
