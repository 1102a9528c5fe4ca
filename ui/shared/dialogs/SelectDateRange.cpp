#include "ui/shared/dialogs/SelectDateRange.h"

#include <QApplication>

#include "biz/Helpers.h"
#include "platform/MessageBox.h"
#include "ui/shared/dialogs/DlgDateRange.h"

int SelectDateRange(COleDateTime& start, COleDateTime& end) {
    CDlgDateRange dialog(QApplication::activeWindow());
    dialog.m_dtStart = start;
    dialog.m_dtEnd = end;
    if (dialog.DoModal() != IDOK)
        return 0;
    start = GetDatePortion(dialog.m_dtStart);
    end = GetDatePortion(dialog.m_dtEnd);
    return 1;
}
