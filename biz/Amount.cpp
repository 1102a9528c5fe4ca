#include "biz/Amount.h"

#include <cmath>
#include <cstdio>

#include "platform/Locale.h"

namespace {

// Far beyond any sum of float amounts, and small enough that sums of many such values do not
// overflow.
constexpr long long kMaxCents = 1'000'000'000'000'000LL;

long long Clamped(long long cents) {
    if (cents > kMaxCents)
        return kMaxCents;
    if (cents < -kMaxCents)
        return -kMaxCents;
    return cents;
}

}   // namespace

CAmount CAmount::FromCents(long long cents) {
    CAmount amount;
    amount.m_cents = Clamped(cents);
    return amount;
}

CAmount CAmount::FromFloat(float value) {
    // A float times 100 is exact in a double (24 + 7 bits), and rounding it to the nearest
    // integer, ties to even, is how "%.2f" rounds the float's exact value: these are the cents
    // of the two-decimal text, without formatting and reading it back.
    const double hundredfold = static_cast<double>(value) * 100.0;
    if (std::isnan(hundredfold))
        return CAmount();
    if (std::fabs(hundredfold) >= static_cast<double>(kMaxCents))
        return FromCents(hundredfold > 0 ? kMaxCents : -kMaxCents);
    return FromCents(static_cast<long long>(std::nearbyint(hundredfold)));
}

CString CAmount::Format() const {
    const unsigned long long magnitude =
        m_cents < 0 ? 0ULL - static_cast<unsigned long long>(m_cents) : static_cast<unsigned long long>(m_cents);
    char text[48];
    std::snprintf(text, sizeof text, "%s%llu.%02llu", m_cents < 0 ? "-" : "", magnitude / 100, magnitude % 100);
    return CString(text);
}

CString CAmount::FormatMoney() const {
    const CString number = Format();
    const CString money = Locale::UserDefault().FormatCurrency(number);
    return money.IsEmpty() ? number : money;
}

float CAmount::ToFloat() const { return static_cast<float>(static_cast<double>(m_cents) / 100.0); }

CAmount CAmount::TimesPercent(int rateHundredths) const {
    // Cents times hundredths of a percent, over 10,000; exact in 128 bits before rounding.
    const __int128 product = static_cast<__int128>(m_cents) * rateHundredths;
    const __int128 half = 5000;
    const __int128 rounded = product >= 0 ? (product + half) / 10000 : -((-product + half) / 10000);
    if (rounded > kMaxCents)
        return FromCents(kMaxCents);
    if (rounded < -kMaxCents)
        return FromCents(-kMaxCents);
    return FromCents(static_cast<long long>(rounded));
}

CAmount& CAmount::operator+=(CAmount other) {
    m_cents = Clamped(m_cents + other.m_cents);
    return *this;
}

CAmount& CAmount::operator-=(CAmount other) {
    m_cents = Clamped(m_cents - other.m_cents);
    return *this;
}
