#include "device/dialogs/DlgQuickSummary.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "biz/SummaryData.h"
#include "device/CommandIds.h"
#include "device/DeviceDialogLook.h"
#include "device/QuillmarApp.h"
#include "device/TitleStrip.h"
#include "ui/shared/ListCtrlEx.h"

CDlgQuickSummary::CDlgQuickSummary(const CSummaryData& summary, QWidget* parent)
    : CDialog(u"Quick Summary", parent), m_summary(summary) {
    setObjectName(QStringLiteral("quickSummaryDialog"));
}

void CDlgQuickSummary::CreateControls() {
    m_list = new CListCtrlEx(this);
    m_list->setObjectName(QStringLiteral("summaryList"));
    m_list->setHeaderHidden(true);
    m_list->m_bContextMenu = false;
    m_list->m_bBoldInsteadOfStrikeOut = true;
    m_list->m_bSwitchFonts = true;
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    // The shell's menu bar of the device's dialogs: a Cancel, which closes it,
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 4);
    // and an OK in reach, since a small screen's window has no title-bar OK.
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { EndDialogOK(); });
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    bar->addStretch(1);
    bar->addWidget(ok);
    bar->addWidget(cancel);
    layout->addLayout(bar);
    AddPageTitle(this, devres::QuickSummary);
    // The list starts right below the 24-pixel title strip.
    layout->setContentsMargins(0, titlestrip::kHeight + 1, 0, 0);
    FitToDeviceScreen(this);
}

bool CDlgQuickSummary::OnInitDialog() {
    const CQuillmarApp* app = GetQuillmarApp();
    m_list->CreateFonts(app ? app->GetDialogFont() : font());
    CSummaryData::SetupListCtrl(&m_list->AsListCtrl());
    m_list->SetStretchColumn(1);
    m_list->StretchColumn(1);
    m_summary.DisplayInListCtrl(&m_list->AsListCtrl());
    return true;
}

void CDlgQuickSummary::resizeEvent(QResizeEvent* event) {
    CDialog::resizeEvent(event);
    if (m_list)
        m_list->StretchColumn(1);
}
