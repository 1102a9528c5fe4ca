#include "biz/ReportCsvExport.h"

#include "biz/Helpers.h"

namespace {

// Resource library strings of the columns after the group names: entries, hours, minutes,
// billable, expenses, mileage, paid, unpaid; and the totals' label.
constexpr unsigned kColumnNames[] = {65, 106, 300, 69, 67, 68, 75, 76};
constexpr unsigned kTotal = 107;

bool IsDated(CReport::GroupBy by) {
    return by == CReport::GroupBy_Day || by == CReport::GroupBy_Week || by == CReport::GroupBy_Month;
}

// How a group is named in the file.
void AddGroupName(CCsvWriter& csv, const CReport::Group& group, CReport::GroupBy by) {
    if (IsDated(by) && !csv.GetFormat().userDateFormat)
        csv.AddField(group.key);
    else
        csv.AddTextField(group.label);
}

void AddTotals(CCsvWriter& csv, const CReportTotals& totals) {
    csv.AddField(CCsvWriter::Integer(totals.m_nCount));
    csv.AddField(CCsvWriter::DecimalHours(totals.m_nMinutes));
    csv.AddField(CCsvWriter::Integer(totals.m_nMinutes));
    csv.AddField(totals.m_billable.Format());
    csv.AddField(totals.m_expenses.Format());
    csv.AddField(CCsvWriter::Integer(totals.m_nDistance));
    csv.AddField(totals.m_paid.Format());
    csv.AddField(totals.m_unpaid.Format());
    csv.EndRecord();
}

}   // namespace

std::vector<CString> CReportCsvExport::Headings(const CReport& report) {
    const CReport::Request& request = report.GetRequest();
    std::vector<CString> headings;
    headings.push_back(CReport::GroupByName(request.groupBy));
    if (request.thenBy != CReport::GroupBy_None)
        headings.push_back(CReport::GroupByName(request.thenBy));
    for (unsigned id : kColumnNames)
        headings.push_back(GetResString(id, 1));
    return headings;
}

void CReportCsvExport::Fill(CCsvWriter& csv, const CReport& report) {
    const CReport::Request& request = report.GetRequest();
    const bool twoLevels = request.thenBy != CReport::GroupBy_None;
    for (const CString& heading : Headings(report))
        csv.AddField(heading);
    csv.EndRecord();
    for (const CReport::Group& group : report.Groups()) {
        for (const CReport::Group& subgroup : group.subgroups) {
            AddGroupName(csv, group, request.groupBy);
            AddGroupName(csv, subgroup, request.thenBy);
            AddTotals(csv, subgroup.totals);
        }
        AddGroupName(csv, group, request.groupBy);
        if (twoLevels)
            csv.AddField(GetResString(kTotal, 1));
        AddTotals(csv, group.totals);
    }
    csv.AddField(GetResString(kTotal, 1));
    if (twoLevels)
        csv.AddField(CString());
    AddTotals(csv, report.Totals());
}

std::string CReportCsvExport::Build(const CReport& report, const CCsvWriter::Format& format) {
    CCsvWriter csv(format);
    Fill(csv, report);
    return csv.Text();
}

bool CReportCsvExport::Write(const CString& path, const CReport& report, const CCsvWriter::Format& format,
                             CString& error) {
    CCsvWriter csv(format);
    Fill(csv, report);
    return csv.Save(path, error);
}
