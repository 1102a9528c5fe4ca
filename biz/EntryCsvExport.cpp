#include "biz/EntryCsvExport.h"

#include "biz/Amount.h"
#include "biz/FilteredEntries.h"
#include "biz/Helpers.h"
#include "biz/IsoDateTime.h"
#include "biz/ProjectItem.h"
#include "biz/RecordNames.h"
#include "platform/Locale.h"

namespace {

// Resource library strings naming the fields, as the data export names them; 300 is the
// duration in minutes, which only this export has.
constexpr unsigned kFieldNames[CEntryCsvExport::Field_Count] = {
    78, 91, 34, 35, 43, 92, 93, 106, 94, 95, 42, 96, 97, 98, 84, 85, 86, 110,
};
constexpr unsigned kMinutesName = 300;

bool IsTime(const CProjectItem& entry) { return entry.get_ItemType() == CProjectItem::ItemType_Time; }

bool IsMileage(const CProjectItem& entry) { return entry.get_ItemType() == CProjectItem::ItemType_Mileage; }

// A time entry entered as a duration only has both times on the zero date-time: it has no
// times of day to show, not midnight to midnight.
bool HasTimesOfDay(const CProjectItem& entry) {
    return IsTime(entry) && (entry.get_StartTime().m_dt != 0.0 || entry.get_EndTime().m_dt != 0.0);
}

CString TypeText(const CProjectItem& entry) {
    switch (entry.get_ItemType()) {
    case CProjectItem::ItemType_Time: return GetResString(30, 1);
    case CProjectItem::ItemType_Expense: return GetResString(52, 1);
    case CProjectItem::ItemType_Mileage: return GetResString(53, 1);
    }
    return CString();
}

CString StatusText(const CProjectItem& entry) {
    switch (entry.get_PymtStatus()) {
    case CProjectItem::PymtStatus_NotBilled: return GetResString(101, 1);
    case CProjectItem::PymtStatus_Billed: return GetResString(102, 1);
    case CProjectItem::PymtStatus_Paid: return GetResString(103, 1);
    }
    return CString();
}

// Writes the fields of one entry.
class EntryRow {
public:
    EntryRow(CCsvWriter& csv, const CRecordNames& names) : m_csv(csv), m_names(names) {}

    void Write(const CProjectItem& entry, const CEntryCsvExport::Options& options) {
        for (int f = 0; f < CEntryCsvExport::Field_Count; ++f) {
            if (options.include[static_cast<size_t>(f)])
                WriteField(static_cast<CEntryCsvExport::Field>(f), entry);
        }
        m_csv.EndRecord();
    }

private:
    void WriteField(CEntryCsvExport::Field field, const CProjectItem& entry) {
        switch (field) {
        case CEntryCsvExport::Field_Date: m_csv.AddField(Date(entry.get_ItemDate())); break;
        case CEntryCsvExport::Field_Client:
            m_csv.AddTextField(m_names.ClientName(m_names.ClientRefOfProject(entry.get_ProjectRef())));
            break;
        case CEntryCsvExport::Field_Project: m_csv.AddTextField(m_names.ProjectName(entry.get_ProjectRef())); break;
        case CEntryCsvExport::Field_Category:
            m_csv.AddTextField(IsTime(entry) ? m_names.CategoryCode(entry.get_CategoryRef()) : CString());
            break;
        case CEntryCsvExport::Field_Description: m_csv.AddTextField(entry.get_DescriptionEx()); break;
        case CEntryCsvExport::Field_StartTime:
            m_csv.AddField(HasTimesOfDay(entry) ? Time(entry.get_StartTime()) : CString());
            break;
        case CEntryCsvExport::Field_EndTime:
            m_csv.AddField(HasTimesOfDay(entry) ? Time(entry.get_EndTime()) : CString());
            break;
        case CEntryCsvExport::Field_Duration:
            m_csv.AddField(IsTime(entry) ? CCsvWriter::DecimalHours(entry.get_DurationInMinutes()) : CString());
            m_csv.AddField(IsTime(entry) ? CCsvWriter::Integer(entry.get_DurationInMinutes()) : CString());
            break;
        case CEntryCsvExport::Field_Type: m_csv.AddField(TypeText(entry)); break;
        case CEntryCsvExport::Field_Billable:
            m_csv.AddField(GetResString(entry.get_IsBillable() ? 100 : 99, 1));
            break;
        case CEntryCsvExport::Field_Amount: m_csv.AddField(CAmount::FromFloat(entry.get_BillAmount()).Format()); break;
        case CEntryCsvExport::Field_BillingStatus: m_csv.AddField(StatusText(entry)); break;
        case CEntryCsvExport::Field_OdometerStart:
            m_csv.AddField(IsMileage(entry) ? CCsvWriter::Integer(entry.get_OdometerStart()) : CString());
            break;
        case CEntryCsvExport::Field_OdometerEnd:
            m_csv.AddField(IsMileage(entry) ? CCsvWriter::Integer(entry.get_OdometerEnd()) : CString());
            break;
        case CEntryCsvExport::Field_Custom1: m_csv.AddTextField(entry.get_Custom1()); break;
        case CEntryCsvExport::Field_Custom2: m_csv.AddTextField(entry.get_Custom2()); break;
        case CEntryCsvExport::Field_Custom3: m_csv.AddTextField(entry.get_Custom3()); break;
        case CEntryCsvExport::Field_Notes: m_csv.AddTextField(entry.get_Notes()); break;
        case CEntryCsvExport::Field_Count: break;
        }
    }

    CString Date(const COleDateTime& date) const {
        if (!m_csv.GetFormat().userDateFormat)
            return CIsoDateTime::Date(date);
        const Locale& locale = Locale::UserDefault();
        return locale.FormatDate(date, locale.shortDatePicture);
    }

    CString Time(const COleDateTime& time) const {
        if (!m_csv.GetFormat().userDateFormat)
            return CIsoDateTime::Time(time);
        const Locale& locale = Locale::UserDefault();
        return locale.FormatTime(time, locale.timePicture);
    }

    CCsvWriter& m_csv;
    const CRecordNames& m_names;
};

}   // namespace

std::vector<CString> CEntryCsvExport::Headings(const Options& options) {
    std::vector<CString> headings;
    for (int f = 0; f < Field_Count; ++f) {
        if (!options.include[static_cast<size_t>(f)])
            continue;
        const bool custom = f >= Field_Custom1 && f <= Field_Custom3;
        const CString& label = custom ? options.customLabels[static_cast<size_t>(f - Field_Custom1)] : CString();
        headings.push_back(label.IsEmpty() ? GetResString(kFieldNames[f], 1) : label);
        if (f == Field_Duration)
            headings.push_back(GetResString(kMinutesName, 1));
    }
    return headings;
}

void CEntryCsvExport::WriteHeadings(CCsvWriter& csv, const Options& options) {
    for (const CString& heading : Headings(options))
        csv.AddTextField(heading);
    csv.EndRecord();
}

int CEntryCsvExport::Fill(CCsvWriter& csv, const CProjectItemFilter& filter, const Options& options) {
    WriteHeadings(csv, options);
    const CRecordNames names;
    const CFilteredEntries entries(filter, names);
    EntryRow row(csv, names);
    for (const auto& entry : entries)
        row.Write(*entry, options);
    return entries.GetSize();
}

std::string CEntryCsvExport::Build(const CProjectItemFilter& filter, const Options& options, int* rows) {
    CCsvWriter csv(options.format);
    const int written = Fill(csv, filter, options);
    if (rows)
        *rows = written;
    return csv.Text();
}

bool CEntryCsvExport::Write(const CString& path, const CProjectItemFilter& filter, const Options& options,
                            CString& error) {
    CCsvWriter csv(options.format);
    Fill(csv, filter, options);
    return csv.Save(path, error);
}
