#pragma once
// Dates and times as text: the stored forms of the data file and the forms shown to the user.
// Stored texts are locale-independent ("M/d/yyyy", "hh:mm:ss tt" with "AM"/"PM"), so a file
// written under one locale reads back under any other; shown texts follow the user's locale.
#include "biz/BizExport.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"

class QUILLMAR_BIZ_EXPORT CDateTimeFormatter {
public:
    CDateTimeFormatter() = delete;

    // Stored date text "M/d/yyyy", e.g. "3/7/2004".
    static CString FormatDateForDB(const COleDateTime& date);
    // Stored time text "hh:mm:ss tt" with the designators "AM" / "PM", e.g. "02:05:00 PM".
    static CString FormatTimeForDB(const COleDateTime& time);
    // Stored date text, one space, stored time text.
    static CString FormatDateTimeForDB(const COleDateTime& dateTime);
    // Reads the stored texts above (and a date text alone, at 00:00:00) with the English
    // (United States) parser; an unparsable text gives a date whose status is invalid.
    static COleDateTime GetDateTimeFromDB(const CString& text);

    // Day name in the user's locale: full ("dddd") when longForm is non-zero, else abbreviated
    // ("ddd", at most four characters).
    static CString FormatWeekday(const COleDateTime& date, int longForm);
    // The date (respectively the time) formatted with a picture in the user's locale, at most
    // bufferSize - 1 characters, trailing whitespace trimmed. Empty for a non-valid date or a
    // buffer size below 1.
    static CString CreateCustomDateFormat(const COleDateTime& date, const CString& picture, int bufferSize);
    static CString CreateCustomTimeFormat(const COleDateTime& time, const CString& picture, int bufferSize);

    // "1h 15m" style text with the hour and minute suffixes of resource strings 8 and 9.
    static CString FormatDuration(int minutes);
    // The user's time picture without its seconds field ("h:mm:ss tt" -> "h:mm tt").
    static CString GetTimeCtrlFmtNoSeconds();
};
