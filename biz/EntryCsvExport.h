#pragma once
// The entries a view lists (its filter with the period's dates), as CSV: one heading row, then
// one row per entry in the view's order, with the fields of the data export in their order.
// Dates in ISO 8601 (or the user's short date), amounts with a dot and two decimals from the
// decimal value, durations both in decimal hours and in minutes.
#include <array>
#include <string>
#include <vector>

#include "biz/BizExport.h"
#include "biz/CsvWriter.h"
#include "platform/CString.h"

class CProjectItemFilter;

class QUILLMAR_BIZ_EXPORT CEntryCsvExport {
public:
    // The fields of the data export, in its order; the duration gives two columns, hours and
    // minutes.
    enum Field : int {
        Field_Date,
        Field_Client,
        Field_Project,
        Field_Category,
        Field_Description,
        Field_StartTime,
        Field_EndTime,
        Field_Duration,
        Field_Type,
        Field_Billable,
        Field_Amount,
        Field_BillingStatus,
        Field_OdometerStart,
        Field_OdometerEnd,
        Field_Custom1,
        Field_Custom2,
        Field_Custom3,
        Field_Notes,
        Field_Count
    };

    struct Options {
        std::array<int, Field_Count> include;   // 1 = include the field (the export dialog's check boxes)
        std::array<CString, 3> customLabels;    // headings of the custom fields; "" = strings 84-86
        CCsvWriter::Format format;
        Options() { include.fill(1); }
    };

    // The headings of the included fields, in column order.
    static std::vector<CString> Headings(const Options& options);
    // The whole file: headings, then the entries that `filter` lets through. `rows` (when given)
    // receives the number of entry rows.
    static std::string Build(const CProjectItemFilter& filter, const Options& options, int* rows = nullptr);
    // Build, written to `path` atomically; false with `error` set when it could not be written.
    static bool Write(const CString& path, const CProjectItemFilter& filter, const Options& options, CString& error);

private:
    static void WriteHeadings(CCsvWriter& csv, const Options& options);
    // Headings and entry rows; the number of entry rows.
    static int Fill(CCsvWriter& csv, const CProjectItemFilter& filter, const Options& options);
};
