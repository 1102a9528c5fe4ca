#pragma once
// What a locale formats with, and the formatting and parsing services built on it.
// Built-in data for English (United States); the user's default locale is read from the
// environment (LC_ALL, LC_TIME, LC_NUMERIC, LC_MONETARY, LANG) through glibc's locale data;
// C and POSIX mean English (United States).
#include <array>
#include <optional>
#include <string>

#include "platform/CString.h"
#include "platform/OleDateTime.h"
#include "platform/PlatformExport.h"

struct QUILLMAR_PLATFORM_EXPORT Locale {
    CString shortDatePicture = u"M/d/yyyy";
    CString longDatePicture = u"dddd, MMMM dd, yyyy";
    CString timePicture = u"h:mm:ss tt";
    CString amDesignator = u"AM";
    CString pmDesignator = u"PM";
    std::array<CString, 7> dayNames;   // Sunday first
    std::array<CString, 7> abbrevDayNames;
    std::array<CString, 12> monthNames;   // January first
    std::array<CString, 12> abbrevMonthNames;
    CString decimalPoint = u".";
    CString thousandsSeparator = u",";
    int grouping = 3;   // digits per group; 0 = none
    CString currencySymbol = u"$";
    int currencyDigits = 2;
    // Positive: 0 "$1.1", 1 "1.1$", 2 "$ 1.1", 3 "1.1 $". Negative: the Windows codes 0..15,
    // English (United States) is 0 "($1.1)".
    int positiveCurrencyOrder = 0;
    int negativeCurrencyOrder = 0;

    static const Locale& EnglishUS();
    // The user's default locale (cached after the first call; Reload() reads it again).
    static const Locale& UserDefault();
    static void Reload();
    // Tests pin a locale (the caller keeps it alive while pinned); nullptr returns to the
    // environment's.
    static void OverrideUserDefault(const Locale* locale);
    // One glibc locale by name ("de_DE.UTF-8", "C"), all of its categories, without the
    // English (United States) shortcut; nullopt when glibc has no such locale.
    static std::optional<Locale> FromSystem(const std::string& name);

    // Pictures: d dd ddd dddd M MM MMM MMMM y yy yyyy, 'quoted literals'; other characters copied.
    CString FormatDate(const COleDateTime& date, const CString& picture) const;
    // Pictures: h hh H HH m mm s ss t tt, 'quoted literals'; other characters copied.
    CString FormatTime(const COleDateTime& time, const CString& picture) const;
    // The default date-time text of a value: the short date and the time, leaving out the date
    // of a value on the zero day (30 December 1899) and the time of a value at midnight.
    CString FormatDefaultDateTime(const COleDateTime& value) const;
    // `number` is a plain number text ("-1234.50"); the result uses this locale's decimal
    // point and grouping, keeping the number of decimals given. Empty when `number` is not a number.
    CString FormatNumber(const CString& number) const;
    // Same input, rounded (half away from zero) or padded to the currency digits; the result
    // is the locale's money text ("$1,234.50", "($2.00)"). Empty when `number` is not a number.
    CString FormatCurrency(const CString& number) const;
};

// The English (United States) date-time parser (locale 1033, no flags): "M/d/yyyy",
// "M/d/yyyy h:mm:ss tt", "M/d/yyyy HH:mm[:ss]", "h:mm:ss tt" alone (date 30 Dec 1899), month
// names ("March 7, 2004", "Sunday, March 07, 2004"). Invalid status when the text does not parse.
QUILLMAR_PLATFORM_EXPORT COleDateTime ParseDateTimeEnglishUS(const CString& text);
