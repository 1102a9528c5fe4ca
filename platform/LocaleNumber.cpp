// Number and money texts in a locale's conventions.
#include <string>

#include "platform/Locale.h"

namespace {

struct PlainNumber {
    bool negative = false;
    std::u16string integer;    // at least one digit, no leading zeros
    std::u16string fraction;   // as given
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Accepts [-]digits[.digits] or [-].digits, with surrounding whitespace as "%4.2f" may pad.
bool ParsePlainNumber(CString text, PlainNumber& number) {
    text.Trim();
    const std::u16string& s = text.str();
    size_t i = 0;
    if (i < s.size() && s[i] == u'-') {
        number.negative = true;
        ++i;
    }
    while (i < s.size() && IsDigit(s[i]))
        number.integer += s[i++];
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && IsDigit(s[i]))
            number.fraction += s[i++];
        if (number.integer.empty() && number.fraction.empty())
            return false;
    } else if (number.integer.empty()) {
        return false;
    }
    if (i != s.size())
        return false;
    const size_t firstNonZero = number.integer.find_first_not_of(u'0');
    number.integer = firstNonZero == std::u16string::npos ? u"0" : number.integer.substr(firstNonZero);
    return true;
}

bool IsZero(const PlainNumber& number) {
    return number.integer == u"0" && number.fraction.find_first_not_of(u'0') == std::u16string::npos;
}

// Rounds half away from zero on the decimal digits, then pads with zeros.
void RoundTo(PlainNumber& number, int digits) {
    const size_t keep = digits > 0 ? static_cast<size_t>(digits) : 0;
    if (number.fraction.size() > keep) {
        const bool up = number.fraction[keep] >= u'5';
        number.fraction.resize(keep);
        if (up) {
            std::u16string all = number.integer + number.fraction;
            size_t i = all.size();
            while (i > 0) {
                --i;
                if (all[i] == u'9') {
                    all[i] = u'0';
                    continue;
                }
                ++all[i];
                break;
            }
            if (i == 0 && all[0] == u'0')
                all.insert(all.begin(), u'1');
            number.integer = all.substr(0, all.size() - keep);
            number.fraction = all.substr(all.size() - keep);
        }
    }
    number.fraction.resize(keep, u'0');
}

CString Grouped(const Locale& locale, const PlainNumber& number) {
    CString out;
    const std::u16string& digits = number.integer;
    const size_t group = locale.grouping > 0 ? static_cast<size_t>(locale.grouping) : 0;
    for (size_t i = 0; i < digits.size(); ++i) {
        const size_t left = digits.size() - i;
        if (group && i > 0 && left % group == 0)
            out += locale.thousandsSeparator;
        out += digits[i];
    }
    if (!number.fraction.empty()) {
        out += locale.decimalPoint;
        out += CString(number.fraction);
    }
    return out;
}

// The Windows negative currency orders: $ is the symbol, n the number.
const char16_t* NegativePattern(int order) {
    static const char16_t* const patterns[16] = {u"($n)", u"-$n",  u"$-n",   u"$n-",  u"(n$)", u"-n$",
                                                 u"n-$",  u"n$-",  u"-n $",  u"-$ n", u"n $-", u"$ n-",
                                                 u"$ -n", u"n- $", u"($ n)", u"(n $)"};
    return order >= 0 && order < 16 ? patterns[order] : patterns[0];
}

const char16_t* PositivePattern(int order) {
    static const char16_t* const patterns[4] = {u"$n", u"n$", u"$ n", u"n $"};
    return order >= 0 && order < 4 ? patterns[order] : patterns[0];
}

CString ApplyPattern(const char16_t* pattern, const CString& symbol, const CString& amount) {
    CString out;
    for (const char16_t* p = pattern; *p; ++p) {
        if (*p == u'$')
            out += symbol;
        else if (*p == u'n')
            out += amount;
        else
            out += *p;
    }
    return out;
}

}   // namespace

CString Locale::FormatNumber(const CString& number) const {
    PlainNumber parsed;
    if (!ParsePlainNumber(number, parsed))
        return CString();
    const CString body = Grouped(*this, parsed);
    return parsed.negative && !IsZero(parsed) ? u"-" + body : body;
}

CString Locale::FormatCurrency(const CString& number) const {
    PlainNumber parsed;
    if (!ParsePlainNumber(number, parsed))
        return CString();
    RoundTo(parsed, currencyDigits);
    const CString amount = Grouped(*this, parsed);
    if (parsed.negative && !IsZero(parsed)) {
        return ApplyPattern(NegativePattern(negativeCurrencyOrder), currencySymbol, amount);
    }
    return ApplyPattern(PositivePattern(positiveCurrencyOrder), currencySymbol, amount);
}
