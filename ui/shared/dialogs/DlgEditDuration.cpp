#include "ui/shared/dialogs/DlgEditDuration.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "biz/Helpers.h"
#include "platform/MessageBox.h"
#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/SpinButtonCtrl.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"

namespace {
// Half a second in days.
constexpr double kHalfSecondInDays = 5.787037037037037e-6;
}   // namespace

CDlgEditDuration::CDlgEditDuration(QWidget* parent) : CDialog(u"Edit Duration", parent) {}

int CDlgEditDuration::MinutesBetween(const COleDateTime& start, const COleDateTime& end) {
    const double minutes = (end - start).GetTotalDays() * 1440.0 + kHalfSecondInDays;
    return static_cast<int>(minutes);
}

bool CDlgEditDuration::HasTimeOfDay(const COleDateTime& time) { return time.GetHour() != 0 || time.GetMinute() != 0; }

void CDlgEditDuration::CreateControls() {
    QGridLayout* durationGrid = nullptr;
    QGroupBox* durationGroup = MakeGroup(tr("Duration"), this, durationGrid);
    m_hours = Named(MakeDigitsEdit(this), "hoursEdit");
    m_hoursSpin = Named(new CSpinButtonCtrl(this), "hoursSpin");
    m_hoursSpin->SetBuddy(m_hours);
    m_minutes = Named(MakeDigitsEdit(this), "minutesEdit");
    m_minutesSpin = Named(new CSpinButtonCtrl(this), "minutesSpin");
    m_minutesSpin->SetBuddy(m_minutes);
    // Held down, the minutes move a quarter of an hour at a time.
    m_minutesSpin->SetAccel(1500, 15);
    durationGrid->addWidget(MakeBuddyLabel(tr("&Hours:"), m_hours, this), 0, 0);
    durationGrid->addWidget(m_hours, 0, 1);
    durationGrid->addWidget(m_hoursSpin, 0, 2);
    durationGrid->addWidget(MakeBuddyLabel(tr("&Minutes:"), m_minutes, this), 0, 3);
    durationGrid->addWidget(m_minutes, 0, 4);
    durationGrid->addWidget(m_minutesSpin, 0, 5);

    m_exact = Named(new QCheckBox(tr("Enter the e&xact start and end times (optional)"), this), "exactTimesCheck");
    connect(m_exact, &QCheckBox::clicked, this, [this] { OnExactTimesClicked(); });

    QGridLayout* timesGrid = nullptr;
    m_timesGroup = MakeGroup(tr("Times:"), this, timesGrid);
    m_start = Named(MakeTimePicker(this), "startPicker");
    m_end = Named(MakeTimePicker(this), "endPicker");
    m_startLabel = MakeBuddyLabel(tr("&Start:"), m_start, this);
    m_endLabel = MakeBuddyLabel(tr("&End:"), m_end, this);
    timesGrid->addWidget(m_startLabel, 0, 0);
    timesGrid->addWidget(m_start, 0, 1);
    timesGrid->addWidget(m_endLabel, 0, 2);
    timesGrid->addWidget(m_end, 0, 3);
    connect(m_start, &QDateTimeEdit::dateTimeChanged, this, [this] { OnTimeChanged(); });
    connect(m_end, &QDateTimeEdit::dateTimeChanged, this, [this] { OnTimeChanged(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(durationGroup);
    layout->addWidget(m_exact);
    layout->addWidget(m_timesGroup);
    layout->addLayout(AddOkCancelButtons());
}

bool CDlgEditDuration::OnInitDialog() {
    m_bExactTimes = (HasTimeOfDay(m_StartTime) || HasTimeOfDay(m_EndTime)) ? 1 : 0;
    if (m_bExactTimes)
        m_nDuration = MinutesBetween(m_StartTime, m_EndTime);
    m_nHours = m_nDuration / 60;
    m_nMinutes = m_nDuration % 60;
    m_hoursSpin->SetRange32(0, kMaxHours);
    m_minutesSpin->SetRange32(0, kMaxMinutes);
    m_updating = true;
    CDialog::OnInitDialog();
    m_updating = false;
    ShowHoursAndMinutes();
    EnableTimes();
    return true;
}

void CDlgEditDuration::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_hours, m_nHours);
    DDV_MinMaxInt(pDX, m_nHours, 0, kMaxHours);
    DDX_Text(pDX, m_minutes, m_nMinutes);
    DDV_MinMaxInt(pDX, m_nMinutes, 0, kMaxMinutes);
    DDX_Check(pDX, m_exact, m_bExactTimes);
    DDX_DateTimeCtrl(pDX, m_start, m_StartTime);
    DDX_DateTimeCtrl(pDX, m_end, m_EndTime);
}

void CDlgEditDuration::ShowHoursAndMinutes() {
    m_hours->setText(qtconv::ToQString(FormatNumber(static_cast<float>(m_nHours), 0, 1)));
    m_minutes->setText(qtconv::ToQString(FormatNumber(static_cast<float>(m_nMinutes), 0, 1)));
    m_hoursSpin->SetPos32(m_nHours);
    m_minutesSpin->SetPos32(m_nMinutes);
}

void CDlgEditDuration::EnableTimes() {
    const bool enabled = m_bExactTimes != 0;
    for (QWidget* widget :
         {static_cast<QWidget*>(m_start), static_cast<QWidget*>(m_end), static_cast<QWidget*>(m_startLabel),
          static_cast<QWidget*>(m_endLabel), static_cast<QWidget*>(m_timesGroup)})
        widget->setEnabled(enabled);
}

void CDlgEditDuration::OnTimeChanged() {
    if (m_updating || !m_exact->isChecked())
        return;
    if (!UpdateData(true))
        return;
    if (m_StartTime > m_EndTime) {
        m_EndTime = m_StartTime;
        m_updating = true;
        m_end->setDateTime(qtconv::ToQDateTime(m_EndTime));
        m_updating = false;
    }
    m_nDuration = MinutesBetween(m_StartTime, m_EndTime);
    m_nHours = m_nDuration / 60;
    m_nMinutes = m_nDuration % 60;
    ShowHoursAndMinutes();
}

void CDlgEditDuration::OnExactTimesClicked() {
    if (!UpdateData(true))
        return;
    EnableTimes();
}

void CDlgEditDuration::OnOK() {
    if (!UpdateData(true))
        return;
    const int duration = m_nMinutes + m_nHours * 60;
    if (duration <= 0 && AfxMessageBox(GetResString(37, 1), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (m_bExactTimes && MinutesBetween(m_StartTime, m_EndTime) != duration) {
        AfxMessageBox(GetResString(38, 1), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!m_bExactTimes) {
        m_StartTime = COleDateTime(0.0);
        m_EndTime = COleDateTime(0.0);
    }
    m_nDuration = duration;
    EndDialogOK();
}

const DeviceLook& CDlgEditDuration::GetDeviceLook() const {
    static const DeviceLook look{
        .captions = {{"exactTimesCheck", devstr::ExactTimes},
                     {"startPicker", devstr::Start},
                     {"endPicker", devstr::End},
                     {"hoursEdit", devstr::Hours},
                     {"minutesEdit", devstr::Minutes}},
    };
    return look;
}
