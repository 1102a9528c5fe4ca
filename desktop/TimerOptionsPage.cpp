#include "desktop/TimerOptionsPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/qt/DataExchange.h"
#include "ui/shared/dialogs/DialogLayout.h"

CTimerOptionsPage::CTimerOptionsPage(QWidget* parent) : CPropertyPage(u"Timer", parent) {
    setObjectName(QStringLiteral("timerOptionsPage"));
}

void CTimerOptionsPage::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Timer"), this, grid);
    m_idleHours = new QLineEdit(this);
    m_idleHours->setObjectName(QStringLiteral("idleHoursEdit"));
    m_idleHours->setMaximumWidth(60);
    grid->addWidget(MakeBuddyLabel(tr("Ask about &idle time after (hours, 0 = never):"), m_idleHours, this), 0, 0);
    grid->addWidget(m_idleHours, 0, 1);
    m_editAfterStop = new QCheckBox(tr("&Edit the entry after stopping the timer"), this);
    m_editAfterStop->setObjectName(QStringLiteral("editAfterStopCheck"));
    grid->addWidget(m_editAfterStop, 1, 0, 1, 2);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
}

void CTimerOptionsPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_idleHours, m_nIdleHours);
    DDV_MinMaxInt(pDX, m_nIdleHours, 0, kMaxIdleHours);
    DDX_Check(pDX, m_editAfterStop, m_bEditAfterStop);
}
