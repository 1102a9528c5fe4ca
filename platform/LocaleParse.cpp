// The English (United States) date-time parser: numeric dates, dates with month names, a time
// of day with or without seconds and designator, in the orders a user's date text takes.
#include <optional>
#include <vector>

#include "platform/Clock.h"
#include "platform/Locale.h"

namespace {

enum class Kind {
    Number,    // a run of digits
    Word,      // a run of letters (month, day, AM/PM)
    Colon,     // ':' between time fields
    DateSep,   // '/', '-' or '.' between date fields
    Comma,     // ',' between the parts of a long date
};

struct Token {
    Kind kind = Kind::Number;
    int value = 0;    // Number: its value (capped); Word: month 1..12, day 1..7, or designator
    int digits = 0;   // Number: how many digits
    CString word;     // Word: lower-case text
};

Token Of(Kind kind) {
    Token t;
    t.kind = kind;
    return t;
}

constexpr int kAm = 100;
constexpr int kPm = 101;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Full name or its first three letters ("Sept" as well); 0 when no name matches.
int MatchName(const CString& word, const std::array<CString, 12>& full, const std::array<CString, 12>& abbrev) {
    for (int i = 0; i < 12; ++i) {
        if (word.CompareNoCase(full[i]) == 0 || word.CompareNoCase(abbrev[i]) == 0)
            return i + 1;
    }
    return word.CompareNoCase(u"sept") == 0 ? 9 : 0;
}

int MatchDay(const CString& word) {
    const Locale& en = Locale::EnglishUS();
    for (int i = 0; i < 7; ++i) {
        if (word.CompareNoCase(en.dayNames[i]) == 0 || word.CompareNoCase(en.abbrevDayNames[i]) == 0)
            return i + 1;
    }
    return 0;
}

std::optional<std::vector<Token>> Tokenize(const CString& text) {
    std::vector<Token> tokens;
    const std::u16string& s = text.str();
    for (size_t i = 0; i < s.size();) {
        const char16_t c = s[i];
        if (IsSpace(c)) {
            ++i;
            continue;
        }
        if (IsDigit(c)) {
            Token t = Of(Kind::Number);
            while (i < s.size() && IsDigit(s[i])) {
                if (t.value < 100000)
                    t.value = t.value * 10 + (s[i] - u'0');
                ++t.digits;
                ++i;
            }
            tokens.push_back(t);
        } else if (IsLetter(c)) {
            Token t = Of(Kind::Word);
            while (i < s.size() && IsLetter(s[i]))
                t.word += s[i++];
            if (i < s.size() && s[i] == u'.')
                ++i;   // "Mar." and "Tue."
            tokens.push_back(t);
        } else if (c == u':') {
            tokens.push_back(Of(Kind::Colon));
            ++i;
        } else if (c == u'/' || c == u'-' || c == u'.') {
            tokens.push_back(Of(Kind::DateSep));
            ++i;
        } else if (c == u',') {
            tokens.push_back(Of(Kind::Comma));
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

int Designator(const Token& t) {
    if (t.kind != Kind::Word)
        return 0;
    if (t.word.CompareNoCase(u"am") == 0 || t.word.CompareNoCase(u"a") == 0)
        return kAm;
    if (t.word.CompareNoCase(u"pm") == 0 || t.word.CompareNoCase(u"p") == 0)
        return kPm;
    return 0;
}

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
};

bool ApplyDesignator(TimeOfDay& time, int designator) {
    if (designator == 0)
        return time.hour <= 23;
    if (time.hour > 12)
        return designator == kPm && time.hour <= 23;   // "13:00 PM" is still 13:00
    if (designator == kAm && time.hour == 12)
        time.hour = 0;
    if (designator == kPm && time.hour < 12)
        time.hour += 12;
    return true;
}

// Finds "h:mm[:ss] [tt]" or "h tt", removes it from the tokens. nullopt with ok=false when a
// time is present but malformed.
std::optional<TimeOfDay> ExtractTime(std::vector<Token>& tokens, bool& ok) {
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Kind::Number)
            continue;
        const bool colon =
            i + 2 < tokens.size() && tokens[i + 1].kind == Kind::Colon && tokens[i + 2].kind == Kind::Number;
        const bool designatorOnly = i + 1 < tokens.size() && Designator(tokens[i + 1]) != 0;
        if (!colon && !designatorOnly)
            continue;
        TimeOfDay time;
        time.hour = tokens[i].value;
        size_t end = i + 1;
        if (colon) {
            time.minute = tokens[i + 2].value;
            end = i + 3;
            if (end + 1 < tokens.size() && tokens[end].kind == Kind::Colon && tokens[end + 1].kind == Kind::Number) {
                time.second = tokens[end + 1].value;
                end += 2;
            }
            if (tokens[i + 2].digits > 2 || (end == i + 5 && tokens[i + 4].digits > 2)) {
                ok = false;
                return std::nullopt;
            }
        }
        const int designator = end < tokens.size() ? Designator(tokens[end]) : 0;
        if (designator)
            ++end;
        if (tokens[i].digits > 2 || time.minute > 59 || time.second > 59 || !ApplyDesignator(time, designator)) {
            ok = false;
            return std::nullopt;
        }
        tokens.erase(tokens.begin() + static_cast<long>(i), tokens.begin() + static_cast<long>(end));
        return time;
    }
    return std::nullopt;
}

struct DateParts {
    int year = 0, month = 0, day = 0;
};

// Two-digit years fall in 1930..2029, as the platform's default window has it.
int FullYear(const Token& t) {
    if (t.digits <= 2)
        return t.value < 30 ? 2000 + t.value : 1900 + t.value;
    return t.value;
}

bool LooksLikeYear(const Token& t) { return t.digits >= 3 || t.value > 31; }

int CurrentYear() { return Clock::LocalNow().GetYear(); }

// The numbers and month names left once the time, day names and separators are gone.
struct DateItems {
    std::vector<Token> numbers;
    int month = 0;           // a month given by name
    size_t monthIndex = 0;   // its position among the items
};

bool CollectDateItems(const std::vector<Token>& tokens, DateItems& items) {
    const Locale& en = Locale::EnglishUS();
    for (const Token& t : tokens) {
        if (t.kind == Kind::Number) {
            items.numbers.push_back(t);
        } else if (t.kind == Kind::Word) {
            const int month = MatchName(t.word, en.monthNames, en.abbrevMonthNames);
            if (month && !items.month) {
                items.month = month;
                items.monthIndex = items.numbers.size();
            } else if (!MatchDay(t.word)) {
                return false;
            }
        } else if (t.kind == Kind::Colon) {
            return false;
        }
    }
    return true;
}

std::optional<DateParts> NumericDate(const std::vector<Token>& n) {
    if (n.size() == 3) {
        if (LooksLikeYear(n[0]))
            return DateParts{n[0].value, n[1].value, n[2].value};   // yyyy/M/d
        return DateParts{FullYear(n[2]), n[0].value, n[1].value};
    }
    if (n.size() == 2) {
        if (LooksLikeYear(n[1]))
            return DateParts{FullYear(n[1]), n[0].value, 1};
        return DateParts{CurrentYear(), n[0].value, n[1].value};
    }
    return std::nullopt;
}

std::optional<DateParts> NamedMonthDate(const DateItems& items) {
    const auto& n = items.numbers;
    if (n.size() == 2) {
        if (LooksLikeYear(n[0]) && !LooksLikeYear(n[1]))
            return DateParts{n[0].value, items.month, n[1].value};
        return DateParts{FullYear(n[1]), items.month, n[0].value};   // "March 7, 2004", "7 March 2004"
    }
    if (n.size() == 1) {
        if (LooksLikeYear(n[0]))
            return DateParts{FullYear(n[0]), items.month, 1};
        return DateParts{CurrentYear(), items.month, n[0].value};
    }
    return std::nullopt;
}

// nullopt with ok=false when the text has date parts that do not form a date.
std::optional<DateParts> ExtractDate(const std::vector<Token>& tokens, bool& ok) {
    DateItems items;
    if (!CollectDateItems(tokens, items)) {
        ok = false;
        return std::nullopt;
    }
    if (items.numbers.empty() && !items.month)
        return std::nullopt;
    const auto date = items.month ? NamedMonthDate(items) : NumericDate(items.numbers);
    if (!date)
        ok = false;
    return date;
}

COleDateTime Invalid() {
    COleDateTime result;
    result.SetStatus(COleDateTime::invalid);
    return result;
}

}   // namespace

COleDateTime ParseDateTimeEnglishUS(const CString& text) {
    auto tokens = Tokenize(text);
    if (!tokens)
        return Invalid();
    bool ok = true;
    const std::optional<TimeOfDay> time = ExtractTime(*tokens, ok);
    if (!ok)
        return Invalid();
    const std::optional<DateParts> date = ExtractDate(*tokens, ok);
    if (!ok || (!time && !date))
        return Invalid();
    const TimeOfDay t = time.value_or(TimeOfDay{});
    COleDateTime result;
    if (date)
        result.SetDateTime(date->year, date->month, date->day, t.hour, t.minute, t.second);
    else
        result.SetTime(t.hour, t.minute, t.second);
    return result;
}
