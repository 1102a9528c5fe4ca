#pragma once
// A report's table as CSV: one heading row; a row per group (with a second level: a row per
// subgroup, then the group's own totals labelled "Total" in the second column); the report's
// totals last, labelled "Total". Day, week and month groups are named by ISO 8601 dates (the
// day, the week's first day, "yyyy-mm") unless the user's date format is chosen.
#include <string>
#include <vector>

#include "biz/BizExport.h"
#include "biz/CsvWriter.h"
#include "biz/Report.h"

class QUILLMAR_BIZ_EXPORT CReportCsvExport {
public:
    static std::vector<CString> Headings(const CReport& report);
    static std::string Build(const CReport& report, const CCsvWriter::Format& format);
    // Build, written to `path` atomically; false with `error` set when it could not be written.
    static bool Write(const CString& path, const CReport& report, const CCsvWriter::Format& format, CString& error);

private:
    static void Fill(CCsvWriter& csv, const CReport& report);
};
