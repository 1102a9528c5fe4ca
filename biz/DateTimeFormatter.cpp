#include "biz/DateTimeFormatter.h"

#include <optional>
#include <string_view>

#include "biz/Helpers.h"
#include "platform/Locale.h"

namespace {

constexpr const char16_t* kStoredDatePicture = u"M/d/yyyy";
constexpr const char16_t* kStoredTimePicture = u"hh:mm:ss tt";
constexpr int kStoredBufferSize = 80;
constexpr int kMaxTimePictureLength = 60;

// What a fixed-size buffer of `bufferSize` characters (with its terminator) could hold.
CString FitBuffer(CString text, int bufferSize) {
    if (bufferSize < 1)
        return CString();
    if (text.GetLength() > bufferSize - 1)
        text = text.Left(bufferSize - 1);
    text.TrimRight();
    return text;
}

bool IsFormattable(const COleDateTime& date) { return date.GetStatus() == COleDateTime::valid && date.GetYear() > 0; }

// Reads `count` digits (or, with `upTo`, one to `count`) at `at`.
bool ReadNumber(std::u16string_view text, size_t& at, size_t count, bool upTo, int& value) {
    size_t read = 0;
    value = 0;
    while (read < count && at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
        value = value * 10 + (text[at] - u'0');
        ++at;
        ++read;
    }
    return upTo ? read > 0 : read == count;
}

bool ReadChar(std::u16string_view text, size_t& at, char16_t expected) {
    if (at >= text.size() || text[at] != expected)
        return false;
    ++at;
    return true;
}

// "M/d/yyyy"
bool ReadStoredDate(std::u16string_view text, size_t& at, int& year, int& month, int& day) {
    return ReadNumber(text, at, 2, true, month) && ReadChar(text, at, u'/') && ReadNumber(text, at, 2, true, day) &&
           ReadChar(text, at, u'/') && ReadNumber(text, at, 4, false, year) && month >= 1 && month <= 12 && day >= 1 &&
           day <= 31 && year >= 100;
}

// "hh:mm:ss tt" with "AM" or "PM", as a 24-hour time.
bool ReadStoredTime(std::u16string_view text, size_t& at, int& hour, int& minute, int& second) {
    if (!ReadNumber(text, at, 2, false, hour) || !ReadChar(text, at, u':') ||
        !ReadNumber(text, at, 2, false, minute) || !ReadChar(text, at, u':') ||
        !ReadNumber(text, at, 2, false, second) || !ReadChar(text, at, u' '))
        return false;
    if (hour < 1 || hour > 12 || minute > 59 || second > 59 || at + 2 != text.size() || text[at + 1] != u'M')
        return false;
    const bool pm = text[at] == u'P';
    if (!pm && text[at] != u'A')
        return false;
    at += 2;
    hour = hour % 12 + (pm ? 12 : 0);
    return true;
}

std::optional<COleDateTime> ParseStoredForm(const CString& text) {
    const std::u16string_view view = text.str();
    size_t at = 0;
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
    if (ReadStoredDate(view, at, year, month, day)) {
        if (at != view.size() && !(ReadChar(view, at, u' ') && ReadStoredTime(view, at, hour, minute, second)))
            return std::nullopt;
    } else {
        // A time alone stands on the zero date.
        at = 0;
        year = 1899;
        month = 12;
        day = 30;
        if (!ReadStoredTime(view, at, hour, minute, second))
            return std::nullopt;
    }
    COleDateTime result(year, month, day, hour, minute, second);
    if (result.GetStatus() != COleDateTime::valid)
        return std::nullopt;   // e.g. 2/30: the full parser decides
    return result;
}

}   // namespace

CString CDateTimeFormatter::CreateCustomDateFormat(const COleDateTime& date, const CString& picture, int bufferSize) {
    if (!IsFormattable(date))
        return CString();
    return FitBuffer(Locale::UserDefault().FormatDate(date, picture), bufferSize);
}

CString CDateTimeFormatter::CreateCustomTimeFormat(const COleDateTime& time, const CString& picture, int bufferSize) {
    if (!IsFormattable(time))
        return CString();
    return FitBuffer(Locale::UserDefault().FormatTime(time, picture), bufferSize);
}

// The stored forms use the English (United States) designators whatever the user's locale:
// the parser that reads them back knows only "AM" and "PM".
CString CDateTimeFormatter::FormatDateForDB(const COleDateTime& date) {
    if (!IsFormattable(date))
        return CString();
    return FitBuffer(Locale::EnglishUS().FormatDate(date, kStoredDatePicture), kStoredBufferSize);
}

CString CDateTimeFormatter::FormatTimeForDB(const COleDateTime& time) {
    if (!IsFormattable(time))
        return CString();
    return FitBuffer(Locale::EnglishUS().FormatTime(time, kStoredTimePicture), kStoredBufferSize);
}

CString CDateTimeFormatter::FormatDateTimeForDB(const COleDateTime& dateTime) {
    return FormatDateForDB(dateTime) + u" " + FormatTimeForDB(dateTime);
}

COleDateTime CDateTimeFormatter::GetDateTimeFromDB(const CString& text) {
    // The forms this class writes are read directly (a data file holds several per record);
    // anything else goes through the full parser.
    if (std::optional<COleDateTime> stored = ParseStoredForm(text))
        return *stored;
    return ParseDateTimeEnglishUS(text);
}

CString CDateTimeFormatter::FormatWeekday(const COleDateTime& date, int longForm) {
    return longForm ? CreateCustomDateFormat(date, u"dddd", 80) : CreateCustomDateFormat(date, u"ddd", 5);
}

CString CDateTimeFormatter::FormatDuration(int minutes) {
    const int hours = minutes / 60;
    const int rest = minutes % 60;
    const CString hourSuffix = GetResString(8, 1);
    const CString minuteSuffix = GetResString(9, 1);
    CString text;
    if (hours == 0)
        text.Format(u"%d%s", rest, minuteSuffix.GetString());
    else if (rest == 0)
        text.Format(u"%d%s", hours, hourSuffix.GetString());
    else
        text.Format(u"%d%s %d%s", hours, hourSuffix.GetString(), rest, minuteSuffix.GetString());
    return text;
}

CString CDateTimeFormatter::GetTimeCtrlFmtNoSeconds() {
    const CString picture = Locale::UserDefault().timePicture.Left(kMaxTimePictureLength);
    CString result;
    bool seenSeconds = false;
    for (int i = 0; i < picture.GetLength(); ++i) {
        const char16_t ch = picture[i];
        if (ch != u's') {
            result += ch;
            continue;
        }
        // The separator in front of the seconds goes with them.
        if (!seenSeconds && !result.IsEmpty())
            result.Delete(result.GetLength() - 1);
        seenSeconds = true;
    }
    return result;
}
