#include "ui/shared/dialogs/DlgMileageDetails.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "biz/Helpers.h"
#include "platform/MessageBox.h"
#include "ui/qt/DataExchange.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"

CDlgMileageDetails::CDlgMileageDetails(QWidget* parent) : CDlgEntryDetailsBase(parent) {}

void CDlgMileageDetails::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Mileage Entry Information"), this, grid);
    CreateCommonControls(grid, 1);
    grid->addWidget(
        MakeBuddyLabel(tr("&Trip purpose or description (e.g: visit to client site)"), m_description, this), 2, 0, 1,
        3);
    grid->addWidget(m_description, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    QGridLayout* odometerGrid = nullptr;
    QGroupBox* odometer = MakeGroup(tr("Odometer"), this, odometerGrid);
    m_begin = Named(MakeDigitsEdit(this), "beginEdit");
    m_end = Named(MakeDigitsEdit(this), "endEdit");
    odometerGrid->addWidget(MakeBuddyLabel(tr("&Begin:"), m_begin, this), 0, 0);
    odometerGrid->addWidget(m_begin, 0, 1);
    odometerGrid->addWidget(MakeBuddyLabel(tr("&End:"), m_end, this), 0, 2);
    odometerGrid->addWidget(m_end, 0, 3);
    m_begin->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(odometer);
}

void CDlgMileageDetails::DoDataExchange(CDataExchange* pDX) {
    CDlgEntryDetailsBase::DoDataExchange(pDX);
    DDX_Text(pDX, m_begin, m_nOdometerStart);
    DDV_MinMaxInt(pDX, m_nOdometerStart, 0, kOdometerMax);
    DDX_Text(pDX, m_end, m_nOdometerEnd);
    DDV_MinMaxInt(pDX, m_nOdometerEnd, 0, kOdometerMax);
}

int CDlgMileageDetails::EndAfterBeginEntered(int begin, int end) {
    if (begin != 0 && (end == 0 || end < begin))
        return begin + 100;
    return end;
}

void CDlgMileageDetails::OnKillFocusBegin() {
    // A failed check moves the focus, which must not start a second check.
    if (m_inBeginCheck)
        return;
    m_inBeginCheck = true;
    if (UpdateData(true)) {
        const int end = EndAfterBeginEntered(m_nOdometerStart, m_nOdometerEnd);
        if (end != m_nOdometerEnd) {
            m_nOdometerEnd = end;
            m_end->setText(QString::number(end));
        }
    }
    m_inBeginCheck = false;
}

bool CDlgMileageDetails::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_begin && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Switching windows or opening a menu is not leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            OnKillFocusBegin();
    }
    return CDlgEntryDetailsBase::eventFilter(watched, event);
}

bool CDlgMileageDetails::OnKillActive() {
    if (!UpdateData(true))
        return false;
    if (!CheckProjectChosen())
        return false;
    if (m_nOdometerEnd - m_nOdometerStart < 0) {
        AfxMessageBox(GetResString(45, 1), MB_OK);
        return false;
    }
    return true;
}

const DeviceLook& CDlgMileageDetails::GetDeviceLook() const {
    static const DeviceLook look{
        .titleId = res::MileageTitle,
        .captions = EntryDeviceCaptions(
            {{"descriptionEdit", devstr::TripDescription}, {"beginEdit", devstr::Begin}, {"endEdit", devstr::End}}),
    };
    return look;
}
