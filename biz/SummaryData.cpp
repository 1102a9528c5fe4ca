#include "biz/SummaryData.h"

#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "platform/ListCtrl.h"
#include "platform/Locale.h"

namespace {
const char16_t kIndent[] = u"        ";   // eight spaces: sub-rows and the column headers

struct RowLabel {
    unsigned stringId;
    bool indented;
    bool heading;
};

// Resource-library strings: 63 title, 64 period, 65/69/73/74 group headings,
// 66-68 time/expense/mileage, 75-77 paid/unpaid/billable total.
constexpr RowLabel kRows[CSummaryData::RowCount] = {
    {63, false, true}, {64, false, false}, {65, false, true}, {66, true, false}, {67, true, false}, {68, true, false},
    {69, false, true}, {66, true, false},  {67, true, false}, {68, true, false}, {73, false, true}, {66, true, false},
    {67, true, false}, {68, true, false},  {74, false, true}, {75, true, false}, {76, true, false}, {77, true, false},
};

}   // namespace

CSummaryData::CSummaryData() { Reset(); }

void CSummaryData::Reset() {
    m_strTitle.Empty();
    m_dtStart = m_dtEnd = GetDatePortion(COleDateTime::GetCurrentTime());
    m_nTimeCount = m_nExpenseCount = m_nMileageCount = 0;
    m_nBillableMinutes = m_nBillableDistance = 0;
    m_nNonBillableMinutes = m_nNonBillableDistance = 0;
    m_fBillableTimeAmount = m_fBillableMileageAmount = m_fBillableExpenseAmount = 0.0f;
    m_fNonBillableTimeAmount = m_fNonBillableMileageAmount = m_fNonBillableExpenseAmount = 0.0f;
    m_fPaidAmount = 0.0f;
}

void CSummaryData::AddItem(CProjectItem* item) {
    const bool billable = item->get_IsBillable() != 0;
    const float amount = item->get_BillAmount();
    switch (item->get_ItemType()) {
    case CProjectItem::ItemType_Time:
        ++m_nTimeCount;
        (billable ? m_nBillableMinutes : m_nNonBillableMinutes) += item->get_DurationInMinutes();
        (billable ? m_fBillableTimeAmount : m_fNonBillableTimeAmount) += amount;
        break;
    case CProjectItem::ItemType_Mileage:
        ++m_nMileageCount;
        (billable ? m_nBillableDistance : m_nNonBillableDistance) +=
            item->get_OdometerEnd() - item->get_OdometerStart();
        (billable ? m_fBillableMileageAmount : m_fNonBillableMileageAmount) += amount;
        break;
    case CProjectItem::ItemType_Expense:
        ++m_nExpenseCount;
        (billable ? m_fBillableExpenseAmount : m_fNonBillableExpenseAmount) += amount;
        break;
    }
    if (item->get_PymtStatus() == CProjectItem::PymtStatus_Paid)
        m_fPaidAmount += amount;
}

void CSummaryData::SetupListCtrl(CListCtrl* list) {
    list->InsertColumn(0, kIndent, LVCFMT_LEFT, 90);
    list->InsertColumn(1, kIndent, LVCFMT_LEFT, 110);
#ifdef QUILLMAR_DEVICE_BUILD
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT);
#else
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
#endif
    for (int row = 0; row < RowCount; ++row) {
        CString label = GetResString(kRows[row].stringId, 1);
        if (kRows[row].indented)
            label = CString(kIndent) + label;
        list->InsertItem(row, label);
        if (kRows[row].heading)
            list->SetItemData(row, static_cast<uintptr_t>(-1));
    }
}

void CSummaryData::DisplayInListCtrl(CListCtrl* list) const {
    const float billableTotal = m_fBillableExpenseAmount + m_fBillableMileageAmount + m_fBillableTimeAmount;
    const CString texts[RowCount] = {
        m_strTitle,
        PeriodText(),
        CString(),
        FormatNumber(static_cast<float>(m_nTimeCount), 0, 0),
        FormatNumber(static_cast<float>(m_nExpenseCount), 0, 0),
        FormatNumber(static_cast<float>(m_nMileageCount), 0, 0),
        CString(),
        DurationWithMoney(m_nBillableMinutes, m_fBillableTimeAmount),
        FormatMoney(m_fBillableExpenseAmount),
        DistanceWithMoney(m_nBillableDistance, m_fBillableMileageAmount),
        CString(),
        DurationWithMoney(m_nNonBillableMinutes, m_fNonBillableTimeAmount),
        FormatMoney(m_fNonBillableExpenseAmount),
        DistanceWithMoney(m_nNonBillableDistance, m_fNonBillableMileageAmount),
        CString(),
        FormatMoney(m_fPaidAmount),
        FormatMoney(billableTotal - m_fPaidAmount),
        FormatMoney(billableTotal),
    };
    for (int row = 0; row < RowCount; ++row)
        list->SetItemText(row, 1, texts[row]);
}

CString CSummaryData::PeriodText() const {
    const Locale& locale = Locale::UserDefault();
    return locale.FormatDefaultDateTime(m_dtStart) + u" - " + locale.FormatDefaultDateTime(m_dtEnd);
}

CString CSummaryData::DurationWithMoney(int minutes, float amount) {
    if (minutes == 0)
        return FormatMoney(amount);
    CString text;
    text.Format(u"%s (%s)", CDateTimeFormatter::FormatDuration(minutes).GetString(), FormatMoney(amount).GetString());
    return text;
}

CString CSummaryData::DistanceWithMoney(int distance, float amount) {
    if (distance == 0)
        return FormatMoney(amount);
    CString text;
    text.Format(u"%s (%s)", FormatNumber(static_cast<float>(distance), 0, 0).GetString(),
                FormatMoney(amount).GetString());
    return text;
}
