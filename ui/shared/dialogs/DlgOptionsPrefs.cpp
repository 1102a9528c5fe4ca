#include "ui/shared/dialogs/DlgOptionsPrefs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "biz/DateTimeFormatter.h"
#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/FloatSpinButtonCtrl.h"

CDlgOptionsPrefs::CDlgOptionsPrefs(QWidget* parent) : CPropertyPage(u"Preferences", parent) {}

void CDlgOptionsPrefs::CreateControls() {
    QGridLayout* general = nullptr;
    QGroupBox* generalGroup = MakeGroup(tr("General"), this, general);
    m_weekday = Named(new QComboBox(this), "weekdayCombo");
    m_rate = Named(new QLineEdit(this), "rateEdit");
    m_spin = Named(new CFloatSpinButtonCtrl(this), "rateSpin");
    m_spin->SetBuddy(m_rate);
    m_hide = Named(new QCheckBox(tr("&Hide clients that do not have any projects"), this), "hideClientsCheck");
    general->addWidget(MakeBuddyLabel(tr("First day of the &week:"), m_weekday, this), 0, 0);
    general->addWidget(m_weekday, 0, 1, 1, 2);
    general->addWidget(MakeBuddyLabel(tr("&Rate per mile/km (mileage entries):"), m_rate, this), 1, 0);
    general->addWidget(m_rate, 1, 1);
    general->addWidget(m_spin, 1, 2);
    general->addWidget(m_hide, 2, 0, 1, 3);
    general->setColumnStretch(1, 1);

    QGridLayout* ui = nullptr;
    QGroupBox* uiGroup = MakeGroup(tr("User Interface"), this, ui);
    m_altRows = Named(new QCheckBox(tr("Shade &alternate rows (green and white)"), this), "colorAltRowsCheck");
    m_gridlines = Named(new QCheckBox(tr("Show gri&dlines"), this), "gridlinesCheck");
    m_strikeOut = Named(new QCheckBox(tr("&Strike-out paid items"), this), "strikeOutCheck");
    m_theme = Named(new QComboBox(this), "themeCombo");
    ui->addWidget(m_altRows, 0, 0, 1, 2);
    ui->addWidget(m_gridlines, 1, 0, 1, 2);
    ui->addWidget(m_strikeOut, 2, 0, 1, 2);
    ui->addWidget(MakeBuddyLabel(tr("&Theme (toolbars, menus etc.):"), m_theme, this), 3, 0);
    ui->addWidget(m_theme, 3, 1);
    ui->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(generalGroup);
    layout->addWidget(uiGroup);
    layout->addStretch(1);
}

bool CDlgOptionsPrefs::OnInitDialog() {
    // 1 to 7 June 2003 run from a Sunday to a Saturday.
    for (int day = 1; day <= 7; ++day)
        m_weekday->addItem(
            qtconv::ToQString(CDateTimeFormatter::FormatWeekday(COleDateTime(2003, 6, day, 0, 0, 0), 1)));
    m_weekday->setCurrentIndex(m_nFirstDayOfWeek >= 1 && m_nFirstDayOfWeek <= 7 ? m_nFirstDayOfWeek - 1 : -1);
    for (const char* theme : {"Office 2003", "Office XP (modern)", "Office 2000 (classic)"})
        m_theme->addItem(QString::fromLatin1(theme));
    CPropertyPage::OnInitDialog();
    m_spin->SetDecimalPlaces(3);
    m_spin->SetKeepTypedDecimals(true);
    m_spin->SetRangeAndDelta(0.0, 1000.0, 0.01);
    return true;
}

void CDlgOptionsPrefs::DoDataExchange(CDataExchange* pDX) {
    DDX_Rate(pDX, m_rate, m_fMileageRate);
    DDX_Check(pDX, m_hide, m_bHideClientsWithNoProjects);
    DDX_Check(pDX, m_altRows, m_bColorAltRows);
    DDX_Check(pDX, m_gridlines, m_bGridlines);
    DDX_Check(pDX, m_strikeOut, m_bStrikeOutPaidItems);
    DDX_CBIndex(pDX, m_theme, m_nTheme);
}

void CDlgOptionsPrefs::OnOK() {
    const int selected = m_weekday->currentIndex();
    if (selected >= 0)
        m_nFirstDayOfWeek = selected + 1;
}

const DeviceLook& CDlgOptionsPrefs::GetDeviceLook() const {
    // There are no themes on the device.
    static const DeviceLook look{
        .captions = {{"hideClientsCheck", devstr::HideClients},
                     {"colorAltRowsCheck", devstr::ShadeAltRows},
                     {"gridlinesCheck", devstr::Gridlines},
                     {"strikeOutCheck", devstr::StrikeOut}},
        .hidden = {"themeCombo"},
    };
    return look;
}
