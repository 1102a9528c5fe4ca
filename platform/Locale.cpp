// Locale data, the user's default, and formatting by date and time pictures.
#include "platform/Locale.h"

#include <mutex>

namespace {

Locale MakeEnglishUS() {
    Locale l;
    l.dayNames = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"};
    l.abbrevDayNames = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    l.monthNames = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                    u"July",    u"August",   u"September", u"October", u"November", u"December"};
    l.abbrevMonthNames = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                          u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    return l;
}

struct UserDefaultState {
    std::mutex mutex;
    bool loaded = false;
    Locale fromEnvironment;
    const Locale* pinned = nullptr;
};

UserDefaultState& UserState() {
    static UserDefaultState state;
    return state;
}

void AppendNumber(CString& out, int value, int minDigits) {
    CString digits;
    digits.Format(u"%0*d", minDigits, value);
    out += digits;
}

// Walks a picture: quoted literals ('it''s' gives it's) are copied, runs of a letter go to
// `field`, which returns false for letters it does not know (they are copied as they stand).
template <class FieldFn>
CString ExpandPicture(const CString& picture, FieldFn field) {
    CString out;
    const std::u16string& p = picture.str();
    for (size_t i = 0; i < p.size();) {
        const char16_t c = p[i];
        if (c == u'\'') {
            ++i;
            while (i < p.size()) {
                if (p[i] == u'\'') {
                    if (i + 1 < p.size() && p[i + 1] == u'\'') {
                        out += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += p[i++];
            }
            continue;
        }
        size_t run = 1;
        while (i + run < p.size() && p[i + run] == c)
            ++run;
        if (!field(out, c, static_cast<int>(run)))
            out += CString(std::u16string(run, c));
        i += run;
    }
    return out;
}

}   // namespace

const Locale& Locale::EnglishUS() {
    static const Locale english = MakeEnglishUS();
    return english;
}

// Reads the environment through glibc; defined in LocaleSystem.cpp.
Locale LocaleFromEnvironment(const Locale& base);

const Locale& Locale::UserDefault() {
    UserDefaultState& state = UserState();
    std::lock_guard lock(state.mutex);
    if (state.pinned)
        return *state.pinned;
    if (!state.loaded) {
        state.fromEnvironment = LocaleFromEnvironment(EnglishUS());
        state.loaded = true;
    }
    return state.fromEnvironment;
}

void Locale::Reload() {
    UserDefaultState& state = UserState();
    Locale fresh = LocaleFromEnvironment(EnglishUS());
    std::lock_guard lock(state.mutex);
    state.fromEnvironment = std::move(fresh);
    state.loaded = true;
}

void Locale::OverrideUserDefault(const Locale* locale) {
    UserDefaultState& state = UserState();
    std::lock_guard lock(state.mutex);
    state.pinned = locale;
}

CString Locale::FormatDate(const COleDateTime& date, const CString& picture) const {
    if (date.GetStatus() != COleDateTime::valid || date.GetYear() < 0)
        return CString();
    const int year = date.GetYear(), month = date.GetMonth(), day = date.GetDay();
    const int weekday = date.GetDayOfWeek() - 1;
    return ExpandPicture(picture, [&](CString& out, char16_t letter, int run) {
        switch (letter) {
        case u'd':
            if (run == 1)
                AppendNumber(out, day, 1);
            else if (run == 2)
                AppendNumber(out, day, 2);
            else if (run == 3)
                out += abbrevDayNames[weekday];
            else
                out += dayNames[weekday];
            return true;
        case u'M':
            if (run <= 2)
                AppendNumber(out, month, run);
            else if (run == 3)
                out += abbrevMonthNames[month - 1];
            else
                out += monthNames[month - 1];
            return true;
        case u'y':
            if (run <= 2)
                AppendNumber(out, year % 100, run);
            else
                AppendNumber(out, year, 1);
            return true;
        default: return false;
        }
    });
}

CString Locale::FormatDefaultDateTime(const COleDateTime& value) const {
    if (value.GetStatus() != COleDateTime::valid)
        return CString();
    const bool onZeroDay = value.GetYear() == 1899 && value.GetMonth() == 12 && value.GetDay() == 30;
    const bool atMidnight = value.GetHour() == 0 && value.GetMinute() == 0 && value.GetSecond() == 0;
    if (onZeroDay && !atMidnight)
        return FormatTime(value, timePicture);
    CString text = FormatDate(value, shortDatePicture);
    if (!atMidnight) {
        text += u' ';
        text += FormatTime(value, timePicture);
    }
    return text;
}

CString Locale::FormatTime(const COleDateTime& time, const CString& picture) const {
    if (time.GetStatus() != COleDateTime::valid || time.GetHour() < 0)
        return CString();
    const int hour = time.GetHour(), minute = time.GetMinute(), second = time.GetSecond();
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    const CString& designator = hour < 12 ? amDesignator : pmDesignator;
    return ExpandPicture(picture, [&](CString& out, char16_t letter, int run) {
        const int digits = run >= 2 ? 2 : 1;
        switch (letter) {
        case u'h': AppendNumber(out, hour12, digits); return true;
        case u'H': AppendNumber(out, hour, digits); return true;
        case u'm': AppendNumber(out, minute, digits); return true;
        case u's': AppendNumber(out, second, digits); return true;
        case u't': out += run == 1 ? designator.Left(1) : designator; return true;
        default: return false;
        }
    });
}
