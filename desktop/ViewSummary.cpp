#include "desktop/ViewSummary.h"

#include <QVBoxLayout>

#include "biz/SummaryData.h"
#include "ui/shared/ListCtrlEx.h"

CViewSummary::CViewSummary(QWidget* parent) : QWidget(parent), m_list(new CListCtrlEx(this)) {
    setObjectName(QStringLiteral("viewSummary"));
    m_list->setObjectName(QStringLiteral("summaryList"));
    m_list->setHeaderHidden(true);
    m_list->m_bContextMenu = false;
    m_list->m_bBoldInsteadOfStrikeOut = true;
    m_list->m_bSwitchFonts = true;
    m_list->m_bColorAltRows = false;
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A period too long for the bar's width goes on two lines rather than losing its end.
    m_list->setUniformRowHeights(false);
    m_list->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

void CViewSummary::OnInitialUpdate(const QFont& uiFont) {
    m_list->CreateFonts(uiFont);
    CSummaryData::SetupListCtrl(&m_list->AsListCtrl());
    m_list->SetStretchColumn(1);
    m_list->StretchColumn(1);
}

void CViewSummary::Display(const CSummaryData& data) { data.DisplayInListCtrl(&m_list->AsListCtrl()); }
