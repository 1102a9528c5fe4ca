#pragma once
// Free helpers of the business library: numbers and money as text, date arithmetic for the
// views, and numbered texts of the resource library.
#include "biz/BizExport.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"

// The value rounded to two decimals, as the "%4.2f" conversion rounds it.
QUILLMAR_BIZ_EXPORT float Rounded(float value);
// Money text in the user's currency format, two decimals ("$1,234.50", "($2.75)").
QUILLMAR_BIZ_EXPORT CString FormatMoney(float value);
// Number text: "%4.2f" when `decimals` is non-zero and the value is positive, otherwise the
// value truncated toward zero. With `raw` non-zero that text as it is; otherwise grouped with
// the user's locale (and, without decimals, no fractional part).
QUILLMAR_BIZ_EXPORT CString FormatNumber(float value, int decimals, int raw);
// String `id` (at most 259 characters): from the resource library QuillmarRes when
// `fromResourceLibrary` is non-zero, else from the program's own string table. Empty when
// there is no such string or the resource library did not load.
QUILLMAR_BIZ_EXPORT CString GetResString(unsigned int id, int fromResourceLibrary);

// The same day at 00:00:00.
QUILLMAR_BIZ_EXPORT COleDateTime GetDatePortion(const COleDateTime& date);
// The last day of the month at 00:00:00 (month 1..12).
QUILLMAR_BIZ_EXPORT COleDateTime GetLastDayInMonth(int year, int month);
// The first day of the week that contains `date`, weeks starting on `firstDay`
// (1 = Sunday .. 7 = Saturday); the time of day is kept.
QUILLMAR_BIZ_EXPORT COleDateTime DetermineFirstDayOfWeek(const COleDateTime& date, int firstDay);

// Record list helpers.
class CObArray;
class CComboBox;

// Deletes a record list handed out by the data store, records and list alike.
QUILLMAR_BIZ_EXPORT void DisposeObArray(CObArray* list);
// "Client: Project" for a project RefID; the project's description alone when its client does
// not load; "" for an empty reference; DeletedProjectText() for a project that does not load
// (deleted here, or on the other side and synchronised), so the entry still shows it has one.
QUILLMAR_BIZ_EXPORT CString FormatProjectName(const CString& projectRef);
// What lists and editors show for a reference to a record that is no longer stored.
QUILLMAR_BIZ_EXPORT CString DeletedProjectText();    // "(deleted project)"
QUILLMAR_BIZ_EXPORT CString DeletedCategoryText();   // "(deleted category)"
// Fills a drop-down list with the records of one kind (category codes, other kinds'
// descriptions), each item carrying the record's ID, optionally after a blank item of value 0;
// selects the item of `selectedId`, or the first item when `selectedId` is 0.
QUILLMAR_BIZ_EXPORT void PopulateComboBoxWithObjectList(CComboBox* list, const CString& elemName,
                                                        unsigned long selectedId, bool addBlank,
                                                        const CString& blankText);
