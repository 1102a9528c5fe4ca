#include "biz/DateTimeFormatter.h"

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

bool IsFormattable(const COleDateTime& date) {
    return date.GetStatus() == COleDateTime::valid && date.GetYear() > 0;
}

}  // namespace

CString CDateTimeFormatter::CreateCustomDateFormat(const COleDateTime& date, const CString& picture,
                                                   int bufferSize) {
    if (!IsFormattable(date))
        return CString();
    return FitBuffer(Locale::UserDefault().FormatDate(date, picture), bufferSize);
}

CString CDateTimeFormatter::CreateCustomTimeFormat(const COleDateTime& time, const CString& picture,
                                                   int bufferSize) {
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
