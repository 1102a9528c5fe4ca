// The user's locale from the environment, read through glibc's locale data.
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/Locale.h"

namespace {

// Owns a glibc locale object.
class SystemLocale {
public:
    SystemLocale(int mask, const std::string& name) : m_handle(newlocale(mask, name.c_str(), locale_t{})) {}
    ~SystemLocale() {
        if (m_handle)
            freelocale(m_handle);
    }
    SystemLocale(const SystemLocale&) = delete;
    SystemLocale& operator=(const SystemLocale&) = delete;
    explicit operator bool() const { return m_handle != locale_t{}; }
    std::string Raw(nl_item item) const {
        const char* text = nl_langinfo_l(item, m_handle);
        return text ? text : "";
    }
    // The locale's own charset converted to UTF-16 (UTF-8 needs no conversion).
    CString Text(nl_item item) const { return Decode(Raw(item)); }
    int Number(nl_item item) const {
        const std::string raw = Raw(item);
        return raw.empty() ? CHAR_MAX : static_cast<unsigned char>(raw[0]) == CHAR_MAX ? CHAR_MAX : raw[0];
    }

private:
    CString Decode(const std::string& text) const {
        const std::string codeset = Raw(CODESET);
        if (text.empty() || codeset == "UTF-8" || codeset == "ANSI_X3.4-1968")
            return CString::FromUtf8(text);
        iconv_t cd = iconv_open("UTF-8", codeset.c_str());
        if (cd == reinterpret_cast<iconv_t>(-1))
            return CString::FromUtf8(text);
        std::string out(text.size() * 4 + 4, '\0');
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char* dst = out.data();
        size_t outLeft = out.size();
        const size_t result = iconv(cd, &in, &inLeft, &dst, &outLeft);
        iconv_close(cd);
        if (result == static_cast<size_t>(-1))
            return CString::FromUtf8(text);
        out.resize(out.size() - outLeft);
        return CString::FromUtf8(out);
    }

    locale_t m_handle;
};

// Alternative-digit, padding and case modifiers change nothing a picture can say.
bool IsStrftimeModifier(char c) {
    return c == 'E' || c == 'O' || c == '-' || c == '_' || c == '0' || c == '^' || c == '#';
}

// strftime conversions in a picture's letters; letters of literal text are quoted.
void AppendStrftimeAsPicture(const SystemLocale& system, const std::string& format, CString& out, int depth) {
    auto literal = [&out](char c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (c == '\'')
            out += u"''";
        else if (letter) {
            out += u'\'';
            out += static_cast<char16_t>(c);
            out += u'\'';
        } else
            out += CString(std::string(1, c));
    };
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            literal(format[i]);
            continue;
        }
        char c = format[++i];
        while (IsStrftimeModifier(c) && i + 1 < format.size())
            c = format[++i];
        switch (c) {
        case 'a': out += u"ddd"; break;
        case 'A': out += u"dddd"; break;
        case 'b':
        case 'h': out += u"MMM"; break;
        case 'B': out += u"MMMM"; break;
        case 'd': out += u"dd"; break;
        case 'e': out += u"d"; break;
        case 'm': out += u"MM"; break;
        case 'y': out += u"yy"; break;
        case 'Y': out += u"yyyy"; break;
        case 'H': out += u"HH"; break;
        case 'k': out += u"H"; break;
        case 'I': out += u"hh"; break;
        case 'l': out += u"h"; break;
        case 'M': out += u"mm"; break;
        case 'S': out += u"ss"; break;
        case 'p':
        case 'P': out += u"tt"; break;
        case 'D': out += u"MM/dd/yy"; break;
        case 'F': out += u"yyyy-MM-dd"; break;
        case 'T': out += u"HH:mm:ss"; break;
        case 'R': out += u"HH:mm"; break;
        case 'r':
            if (depth < 2)
                AppendStrftimeAsPicture(system, system.Raw(T_FMT_AMPM), out, depth + 1);
            break;
        case 'n':
        case 't': out += u' '; break;
        case '%': out += u'%'; break;
        default: break;   // zones, week numbers and the like have no picture letter
        }
    }
}

CString PictureFromStrftime(const SystemLocale& system, nl_item item) {
    CString picture;
    AppendStrftimeAsPicture(system, system.Raw(item), picture, 0);
    return picture.Trim();
}

void ReadTime(const SystemLocale& system, Locale& locale) {
    for (int i = 0; i < 7; ++i) {
        locale.dayNames[i] = system.Text(static_cast<nl_item>(DAY_1 + i));
        locale.abbrevDayNames[i] = system.Text(static_cast<nl_item>(ABDAY_1 + i));
    }
    for (int i = 0; i < 12; ++i) {
        locale.monthNames[i] = system.Text(static_cast<nl_item>(MON_1 + i));
        locale.abbrevMonthNames[i] = system.Text(static_cast<nl_item>(ABMON_1 + i));
    }
    locale.amDesignator = system.Text(AM_STR);
    locale.pmDesignator = system.Text(PM_STR);
    const CString shortDate = PictureFromStrftime(system, D_FMT);
    if (!shortDate.IsEmpty())
        locale.shortDatePicture = shortDate;
    const CString time = PictureFromStrftime(system, T_FMT);
    if (!time.IsEmpty())
        locale.timePicture = time;
}

void ReadNumeric(const SystemLocale& system, Locale& locale) {
    const CString point = system.Text(RADIXCHAR);
    if (!point.IsEmpty())
        locale.decimalPoint = point;
    locale.thousandsSeparator = system.Text(THOUSEP);
    const int group = system.Number(GROUPING);
    locale.grouping = locale.thousandsSeparator.IsEmpty() || group == CHAR_MAX || group <= 0 ? 0 : group;
}

// Windows negative currency order for the C library's sign position and symbol placement.
int NegativeOrder(bool precedes, bool separated, int signPosition) {
    static const int table[2][2][5] = {
        {{4, 5, 7, 6, 7}, {15, 8, 10, 13, 10}},   // symbol after the number
        {{0, 1, 3, 1, 2}, {14, 9, 11, 9, 12}},    // symbol before the number
    };
    const int position = signPosition >= 0 && signPosition <= 4 ? signPosition : 1;
    return table[precedes ? 1 : 0][separated ? 1 : 0][position];
}

void ReadMonetary(const SystemLocale& system, Locale& locale) {
    locale.currencySymbol = system.Text(CURRENCY_SYMBOL);
    const int digits = system.Number(FRAC_DIGITS);
    locale.currencyDigits = digits == CHAR_MAX || digits < 0 || digits > 9 ? 2 : digits;
    const int pPrecedes = system.Number(P_CS_PRECEDES), pSeparated = system.Number(P_SEP_BY_SPACE);
    const int nPrecedes = system.Number(N_CS_PRECEDES), nSeparated = system.Number(N_SEP_BY_SPACE);
    const int nSign = system.Number(N_SIGN_POSN);
    const bool before = pPrecedes == CHAR_MAX || pPrecedes == 1;
    const bool spaced = pSeparated == 1;
    locale.positiveCurrencyOrder = before ? (spaced ? 2 : 0) : (spaced ? 3 : 1);
    locale.negativeCurrencyOrder =
        NegativeOrder(nPrecedes == CHAR_MAX ? before : nPrecedes == 1, nSeparated == 1, nSign == CHAR_MAX ? 1 : nSign);
}

bool MeansEnglishUS(const std::string& name) {
    return name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0 || name.rfind("en_US", 0) == 0;
}

std::string NameFor(const char* category) {
    for (const char* variable : {"LC_ALL", category, "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return std::string();
}

// Fills one category from glibc when the environment names a locale other than English (US).
template <class ReadFn>
void ApplyCategory(Locale& locale, const char* variable, int mask, ReadFn read) {
    const std::string name = NameFor(variable);
    if (MeansEnglishUS(name))
        return;
    const SystemLocale system(mask, name);
    if (system)
        read(system, locale);
}

}   // namespace

Locale LocaleFromEnvironment(const Locale& base) {
    Locale locale = base;
    ApplyCategory(locale, "LC_TIME", LC_TIME_MASK | LC_CTYPE_MASK, ReadTime);
    ApplyCategory(locale, "LC_NUMERIC", LC_NUMERIC_MASK | LC_CTYPE_MASK, ReadNumeric);
    ApplyCategory(locale, "LC_MONETARY", LC_MONETARY_MASK | LC_CTYPE_MASK, ReadMonetary);
    return locale;
}

std::optional<Locale> Locale::FromSystem(const std::string& name) {
    const SystemLocale system(LC_TIME_MASK | LC_NUMERIC_MASK | LC_MONETARY_MASK | LC_CTYPE_MASK, name);
    if (!system)
        return std::nullopt;
    Locale locale = EnglishUS();
    ReadTime(system, locale);
    ReadNumeric(system, locale);
    ReadMonetary(system, locale);
    return locale;
}
