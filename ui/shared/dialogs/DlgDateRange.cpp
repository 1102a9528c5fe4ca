#include "ui/shared/dialogs/DlgDateRange.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "biz/Helpers.h"
#include "platform/MessageBox.h"
#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"

const std::array<const char16_t*, 10> CDlgDateRange::kPresets = {
    u"  - Presets -", u"This Month",        u"This Month-to-date", u"This Quarter", u"This Quarter-to-date",
    u"This Year",     u"This Year-to-date", u"Last Month",         u"Last Quarter", u"Last Year",
};

namespace {
COleDateTime FirstOfMonth(int year, int month) { return COleDateTime(year, month, 1, 0, 0, 0); }
int FirstMonthOfQuarter(int month) { return (month - 1) / 3 * 3 + 1; }
}   // namespace

bool CDlgDateRange::PresetRange(int index, const COleDateTime& now, COleDateTime& start, COleDateTime& end) {
    const int y = now.GetYear();
    const int m = now.GetMonth();
    const int quarterStart = FirstMonthOfQuarter(m);
    switch (index) {
    case 1:
        start = FirstOfMonth(y, m);
        end = GetLastDayInMonth(y, m);
        return true;
    case 2:
        start = FirstOfMonth(y, m);
        end = now;
        return true;
    case 3:
        start = FirstOfMonth(y, quarterStart);
        end = GetLastDayInMonth(y, quarterStart + 2);
        return true;
    case 4:
        start = FirstOfMonth(y, quarterStart);
        end = now;
        return true;
    case 5:
        start = FirstOfMonth(y, 1);
        end = COleDateTime(y, 12, 31, 0, 0, 0);
        return true;
    case 6:
        start = FirstOfMonth(y, 1);
        end = now;
        return true;
    case 7: {
        const int year = m == 1 ? y - 1 : y;
        const int month = m == 1 ? 12 : m - 1;
        start = FirstOfMonth(year, month);
        end = GetLastDayInMonth(year, month);
        return true;
    }
    case 8: {
        const int year = quarterStart == 1 ? y - 1 : y;
        const int month = quarterStart == 1 ? 10 : quarterStart - 3;
        start = FirstOfMonth(year, month);
        end = GetLastDayInMonth(year, month + 2);
        return true;
    }
    case 9:
        start = FirstOfMonth(y - 1, 1);
        end = COleDateTime(y - 1, 12, 31, 0, 0, 0);
        return true;
    default: return false;
    }
}

CDlgDateRange::CDlgDateRange(QWidget* parent) : CDialog(u"Select Date Range", parent) {}

void CDlgDateRange::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Select Date Range"), this, grid);
    m_presets = Named(new QComboBox(this), "presetCombo");
    for (const char16_t* preset : kPresets)
        m_presets->addItem(qtconv::ToQString(preset));
    m_start = Named(MakeDatePicker(this), "startPicker");
    m_end = Named(MakeDatePicker(this), "endPicker");
    grid->addWidget(MakeBuddyLabel(tr("&Presets:"), m_presets, this), 0, 0);
    grid->addWidget(m_presets, 0, 1);
    grid->addWidget(MakeBuddyLabel(tr("&Start Date:"), m_start, this), 1, 0);
    grid->addWidget(m_start, 1, 1);
    grid->addWidget(MakeBuddyLabel(tr("&End Date:"), m_end, this), 2, 0);
    grid->addWidget(m_end, 2, 1);
    grid->setColumnStretch(1, 1);
    connect(m_start, &QDateTimeEdit::dateTimeChanged, this, [this] { OnStartChanged(); });
    connect(m_presets, &QComboBox::currentIndexChanged, this, [this] { OnPresetChanged(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(AddOkCancelButtons());
}

bool CDlgDateRange::OnInitDialog() {
    m_nPreset = 0;
    ShowValues();
    return true;
}

void CDlgDateRange::DoDataExchange(CDataExchange* pDX) {
    DDX_CBIndex(pDX, m_presets, m_nPreset);
    DDX_DateTimeCtrl(pDX, m_start, m_dtStart);
    DDX_DateTimeCtrl(pDX, m_end, m_dtEnd);
}

void CDlgDateRange::ShowValues() {
    // Showing values is not the user changing them.
    m_updating = true;
    UpdateData(false);
    m_updating = false;
}

void CDlgDateRange::OnStartChanged() {
    if (m_updating || !UpdateData(true))
        return;
    m_dtEnd = m_dtStart + COleDateTimeSpan(1, 0, 0, 0);
    ShowValues();
}

void CDlgDateRange::OnPresetChanged() {
    if (m_updating || !UpdateData(true))
        return;
    if (!PresetRange(m_nPreset, COleDateTime::GetCurrentTime(), m_dtStart, m_dtEnd))
        return;
    ShowValues();
}

void CDlgDateRange::OnOK() {
    if (!UpdateData(true))
        return;
    if (m_dtEnd < m_dtStart) {
        AfxMessageBox(GetResString(61, 1), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    EndDialogOK();
}

const DeviceLook& CDlgDateRange::GetDeviceLook() const {
    static const DeviceLook look{
        .titleId = res::DateRangeTitle,
        .captions = {{"presetCombo", devstr::Presets},
                     {"startPicker", devstr::StartDate},
                     {"endPicker", devstr::EndDate}},
    };
    return look;
}
