#include "device/dialogs/QuickSummary.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "device/CommandIds.h"
#include "device/ViewByDate.h"
#include "device/dialogs/DlgQuickSummary.h"

void RunQuickSummary(CViewByDate& view) {
    static const unsigned titles[] = {devres::SummaryDay, devres::SummaryWeek, devres::SummaryMonth,
                                      devres::SummaryCustom};
    CSummaryData& summary = view.GetSummaryData();
    const int type = view.GetPeriodType();
    summary.m_strTitle = GetResString(titles[type >= 0 && type <= 3 ? type : 1], 1);
    summary.m_dtStart = view.GetFilter().m_dtStart;
    summary.m_dtEnd = view.GetFilter().m_dtEnd;
    view.ApplySearchDates(summary);
    CDlgQuickSummary dialog(summary, view.window());
    dialog.DoModal();
}
