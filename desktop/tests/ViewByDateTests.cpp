// The entries view: periods, navigation, columns, refresh, row drawing, entry commands, filter.
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "desktop/CommandIds.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ToolbarDatePicker.h"
#include "desktop/ViewByDate.h"
#include "desktop/ViewSummary.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/Registry.h"
#include "platform/WriteFault.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ListCtrlEx.h"

using namespace testsupport;

namespace {
COleDateTime Date(int year, int month, int day) { return COleDateTime(year, month, day, 0, 0, 0); }
std::string DataFileContents() {
    std::ifstream in(GetCurrDataHelper()->GetDataFilePath().ToUtf8(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
bool SameDay(const COleDateTime& a, const COleDateTime& b) {
    return a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth() && a.GetDay() == b.GetDay();
}
}   // namespace

class ViewByDateTests : public ProgramTest {
    Q_OBJECT
private:
    QString Cell(int row, int column) { return List().topLevelItem(row)->text(column); }
    // The cell's text (and the row icon in the first column) fits in the column.
    bool CellFits(int row, int column) {
        const int icon = column == 0 ? List().iconSize().width() + 4 : 0;
        return QFontMetrics(List().RowFont(row)).horizontalAdvance(Cell(row, column)) + icon + 8 <=
               List().columnWidth(column);
    }
    QString SummaryCell(int row) { return Frame().GetSummaryView()->GetListCtrl()->topLevelItem(row)->text(1); }

private slots:
    void init() { QVERIFY(StartFresh()); }
    void cleanup() { StopProgram(m_app); }

    void columnsOfTheWeekAndOtherPeriods() {
        QCOMPARE(List().columnCount(), 6);
        QCOMPARE(List().headerItem()->text(0), qtconv::ToQString(GetResString(33, 1)));
        QCOMPARE(List().headerItem()->text(5), qtconv::ToQString(GetResString(42, 1)));
        View().SetPeriodType(CViewByDate::PeriodMonth);
        QCOMPARE(List().headerItem()->text(0), qtconv::ToQString(GetResString(78, 1)));
    }

    void datesAndAmountsAreNeverCutAndTheDescriptionTakesTheRest() {
        const int project = AddProject(u"Website redesign for the new season", AddClient(u"Sample Client"));
        View().SetPeriodType(CViewByDate::PeriodMonth);
        View().GoToDate(Date(2026, 12, 31));
        const int entry = AddEntry(1, Date(2026, 12, 31), project, 9999999.0f);
        View().Refresh(entry);
        QVERIFY(Cell(0, 5).size() > 10);   // a large amount, "$10,000,000.00"
        for (const QSize size : {QSize(1280, 800), QSize(900, 600), QSize(480, 320)}) {
            Frame().resize(size);
            QApplication::processEvents();
            for (int column : {0, 3, 4, 5})
                QVERIFY2(CellFits(0, column), qPrintable(QStringLiteral("%1 at %2").arg(column).arg(size.width())));
            QVERIFY2(List().columnWidth(2) >= 120, qPrintable(QString::number(size.width())));
        }
        Frame().resize(1280, 800);
        QApplication::processEvents();
        QVERIFY(CellFits(0, 1));   // with room to spare the project is whole too
        View().SetPeriodType(CViewByDate::PeriodWeek);
        View().GoToDate(Date(2026, 12, 31));
        QVERIFY(CellFits(0, 0));
    }

    void summaryPeriodWrapsRatherThanLosingItsEnd() {
        m_app->m_nFirstDayOfWeek = 2;
        View().GoToDate(Date(2026, 12, 10));   // 12/7/2026 - 12/13/2026
        CListCtrlEx& summary = *Frame().GetSummaryView()->GetListCtrl();
        Frame().resize(1100, 700);
        for (int width : {200, 230, 400}) {
            Frame().resizeDocks({Frame().GetQuickSummaryBar()}, {width}, Qt::Horizontal);
            QApplication::processEvents();
            for (int row = 0; row < summary.topLevelItemCount(); ++row) {
                const QString text = summary.topLevelItem(row)->text(1);
                const QFontMetrics metrics(summary.RowFont(row));
                const bool fits = metrics.horizontalAdvance(text) + 8 <= summary.columnWidth(1);
                const bool wrapped =
                    summary.visualItemRect(summary.topLevelItem(row)).height() >= 2 * metrics.height();
                QVERIFY2(fits || wrapped, qPrintable(QStringLiteral("%1 at %2").arg(text).arg(width)));
            }
        }
    }

    void typedDatesRefreshOnlyWhenComplete() {
        View().SetPeriodType(CViewByDate::PeriodDay);
        View().GoToDate(Date(2026, 12, 8));
        CToolbarDatePicker& picker = *View().GetDatePicker();
        picker.setCurrentSection(QDateTimeEdit::DaySection);
        picker.setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClick(&picker, Qt::Key_2);
        QVERIFY(SameDay(View().GetAnchor(), Date(2026, 12, 8)));   // not the 2nd on the way to the 20th
        QTest::keyClick(&picker, Qt::Key_0);
        QVERIFY(SameDay(View().GetAnchor(), Date(2026, 12, 20)));
        picker.setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(&picker, QStringLiteral("202"));
        QVERIFY(SameDay(View().GetAnchor(), Date(2026, 12, 20)));
        QTest::keyClick(&picker, Qt::Key_5);
        QVERIFY(SameDay(View().GetAnchor(), Date(2025, 12, 20)));
        // One digit, then Enter: the date is finished.
        QLineEdit* edit = picker.findChild<QLineEdit*>();
        edit->setSelection(edit->text().indexOf(QStringLiteral("20,")), 2);   // the day, as a user selects it
        QTest::keyClick(&picker, Qt::Key_3);
        QVERIFY(SameDay(View().GetAnchor(), Date(2025, 12, 20)));
        QTest::keyClick(&picker, Qt::Key_Return);
        QVERIFY(SameDay(View().GetAnchor(), Date(2025, 12, 3)));
        // The arrows step whole dates.
        QTest::keyClick(&picker, Qt::Key_Up);
        QVERIFY(SameDay(View().GetAnchor(), Date(2025, 12, 4)));
    }

    void toolbarCalendarStartsOnTheFirstDayOfTheWeek() {
        for (const auto& [setting, day] :
             {std::pair{1, Qt::Sunday}, std::pair{2, Qt::Monday}, std::pair{7, Qt::Saturday}}) {
            m_app->m_nFirstDayOfWeek = setting;
            View().Refresh(0);
            QCOMPARE(View().GetDatePicker()->calendarWidget()->firstDayOfWeek(), day);
        }
    }

    void descriptionColumnFillsTheList() {
        Frame().resize(1000, 700);
        QApplication::processEvents();
        int total = 0;
        for (int column = 0; column < List().columnCount(); ++column)
            total += List().columnWidth(column);
        QCOMPARE(total, List().viewport()->width() - 5);
    }

    void weekStartsOnTheFirstDaySettingAndEndsSixDaysLater() {
        View().GoToDate(Date(2024, 3, 13));                                  // a Wednesday
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2024, 3, 11)));   // Monday
        QVERIFY(SameDay(View().GetFilter().m_dtEnd, Date(2024, 3, 17)));
        m_app->m_nFirstDayOfWeek = 1;
        View().GoToDate(Date(2024, 3, 13));
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2024, 3, 10)));   // Sunday
        QVERIFY(SameDay(View().GetFilter().m_dtEnd, Date(2024, 3, 16)));
        const int inside = AddEntry(1, Date(2024, 3, 16), 0, 1.0f);
        AddEntry(1, Date(2024, 3, 17), 0, 1.0f);
        AddEntry(1, Date(2024, 3, 9), 0, 1.0f);
        View().Refresh(0);
        QCOMPARE(List().topLevelItemCount(), 1);
        QCOMPARE(List().GetRowValue(0), inside);
        QCOMPARE(Cell(0, 0), qtconv::ToQString(CDateTimeFormatter::FormatWeekday(Date(2024, 3, 16), 0)));
    }

    void monthNavigation() {
        View().SetPeriodType(CViewByDate::PeriodMonth);
        View().GoToDate(Date(2024, 1, 31));
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2024, 1, 1)));
        View().OnNext();
        QVERIFY(SameDay(View().GetAnchor(), Date(2024, 2, 1)));
        QVERIFY(SameDay(View().GetFilter().m_dtEnd, Date(2024, 2, 29)));
        View().OnPrevious();
        View().OnPrevious();
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2023, 12, 1)));
        QVERIFY(SameDay(View().GetFilter().m_dtEnd, Date(2023, 12, 31)));
        View().OnNext();
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2024, 1, 1)));
        const QDate picked = View().GetDatePicker()->date();
        QCOMPARE(picked, QDate(2024, 1, 1));
    }

    void previousFromAnyDayOfJanuaryIsDecemberFirst() {
        View().SetPeriodType(CViewByDate::PeriodMonth);
        View().GoToDate(Date(2025, 1, 17));
        View().OnPrevious();
        QVERIFY(SameDay(View().GetAnchor(), Date(2024, 12, 1)));
        View().GoToDate(Date(2024, 12, 20));
        View().OnNext();
        QVERIFY(SameDay(View().GetAnchor(), Date(2025, 1, 1)));
    }

    void dayAndWeekSteps() {
        View().SetPeriodType(CViewByDate::PeriodDay);
        View().GoToDate(Date(2024, 3, 1));
        View().OnPrevious();
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2024, 2, 29)));
        QVERIFY(SameDay(View().GetFilter().m_dtEnd, Date(2024, 2, 29)));
        View().SetPeriodType(CViewByDate::PeriodWeek);
        View().GoToDate(Date(2024, 3, 13));
        View().OnNext();
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2024, 3, 18)));
    }

    void todayAndTheDatePicker() {
        View().SetPeriodType(CViewByDate::PeriodDay);
        View().GoToDate(Date(2020, 5, 5));
        View().OnToday();
        QVERIFY(SameDay(View().GetFilter().m_dtStart, COleDateTime::GetCurrentTime()));
        View().GetDatePicker()->setDate(QDate(2021, 7, 4));
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2021, 7, 4)));
        QCOMPARE(Frame().GetRangePane()->text(), View().RangeText());
    }

    void periodTypeIsStoredForDayWeekMonthOnly() {
        const CString key = CQuillmarApp::kSettingsKey;
        View().SetPeriodType(CViewByDate::PeriodDay);
        QCOMPARE(Registry::GetDword(key, u"PeriodType", 9), 0u);
        View().SetPeriodType(CViewByDate::PeriodMonth);
        QCOMPARE(Registry::GetDword(key, u"PeriodType", 9), 2u);
        View().SetPeriodType(CViewByDate::PeriodCustom);
        QCOMPARE(Registry::GetDword(key, u"PeriodType", 9), 2u);
        View().SetPeriodType(CViewByDate::PeriodWeek);
        QCOMPARE(Registry::GetDword(key, u"PeriodType", 9), 1u);
        View().SetPeriodType(CViewByDate::PeriodMonth);
        View().SetPeriodType(CViewByDate::PeriodCustom);
        QVERIFY(Restart());
        QCOMPARE(View().GetPeriodType(), int(CViewByDate::PeriodMonth));
    }

    void rowsShowTheEntriesColumns() {
        View().SetPeriodType(CViewByDate::PeriodMonth);
        View().GoToDate(Date(2024, 4, 10));
        const int client = AddClient(u"Acme");
        const int project = AddProject(u"Website", client);
        const int time = AddEntry(CProjectItem::ItemType_Time, Date(2024, 4, 2), project, 75.0f);
        const int expense = AddEntry(CProjectItem::ItemType_Expense, Date(2024, 4, 3), project, 12.5f);
        View().Refresh(0);
        QCOMPARE(List().topLevelItemCount(), 2);
        QCOMPARE(List().GetRowValue(0), time);
        QCOMPARE(List().GetRowValue(1), expense);
        QCOMPARE(Cell(0, 0), QStringLiteral("4/2/2024"));
        QCOMPARE(Cell(0, 1), QStringLiteral("Acme: Website"));
        QCOMPARE(Cell(0, 2), QStringLiteral("Work"));
        QCOMPARE(Cell(0, 4), qtconv::ToQString(CDateTimeFormatter::FormatDuration(60)));
        QCOMPARE(Cell(0, 5), qtconv::ToQString(FormatMoney(75.0f)));
        QVERIFY(Cell(1, 3).isEmpty());
        QVERIFY(Cell(1, 4).isEmpty());
        QCOMPARE(List().topLevelItem(0)->textAlignment(5) & Qt::AlignRight, int(Qt::AlignRight));
        QVERIFY(!List().topLevelItem(0)->icon(0).isNull());
    }

    void refreshSelectsAPaidRowByItsId() {
        const COleDateTime day = View().GetFilter().m_dtStart;
        AddEntry(1, day, 0, 1.0f);
        const int paid = AddEntry(1, day, 0, 2.0f, 1);
        View().Refresh(paid);
        const int row = List().GetSelectedRow();
        QCOMPARE(row, 1);
        QCOMPARE(List().GetRowValue(row), -paid);
        QVERIFY(!IsEnabled(Frame(), cmd::MarkAsPaid));
        QVERIFY(IsEnabled(Frame(), cmd::EditDelete));
    }

    void markAsPaidKeepsTheRowSelectedAndDisablesItself() {
        const int entry = AddEntry(1, View().GetFilter().m_dtStart, 0, 40.0f);
        View().Refresh(entry);
        QVERIFY(Trigger(Frame(), cmd::MarkAsPaid));
        const int row = List().GetSelectedRow();
        QVERIFY(row >= 0);
        QCOMPARE(List().GetRowValue(row), -entry);
        QVERIFY(!IsEnabled(Frame(), cmd::MarkAsPaid));
        CProjectItem stored;
        stored.set_ID(entry);
        QVERIFY(stored.Load());
        QCOMPARE(int(stored.get_PymtStatus()), int(CProjectItem::PymtStatus_Paid));
        QCOMPARE(SummaryCell(15), qtconv::ToQString(FormatMoney(40.0f)));
    }

    void paidRowsAreDrawnGreyAndStruckOut() {
        const int paid = AddEntry(1, View().GetFilter().m_dtStart, 0, 1.0f, 1);
        View().Refresh(paid);
        QVERIFY(List().m_bSwitchFonts);
        QVERIFY(!List().m_bColorAltRows);
        QVERIFY(List().StrikeOutFont().strikeOut());
        QCOMPARE(List().BoldFont().weight(), QFont::Bold);
        const int normal = AddEntry(1, View().GetFilter().m_dtStart, 0, 1.0f);
        View().Refresh(paid);
        const int paidRow = List().GetRowValue(0) == -paid ? 0 : 1;
        const int normalRow = 1 - paidRow;
        QCOMPARE(List().GetRowValue(normalRow), normal);
        QVERIFY(List().RowFont(paidRow).strikeOut());
        QVERIFY(!List().RowFont(normalRow).strikeOut());
        QCOMPARE(List().RowTextColor(paidRow), QColor(128, 128, 128));
        QVERIFY(!List().RowTextColor(normalRow).isValid());
        QVERIFY(!List().RowBackground(0).isValid());
        m_app->m_bStrikeOutPaidItems = 0;
        m_app->m_bColorAltRows = 1;
        m_app->m_bGridlines = 1;
        View().Refresh(0);
        QVERIFY(!List().m_bSwitchFonts);
        QVERIFY(List().m_bColorAltRows);
        QVERIFY(List().AsListCtrl().GetExtendedStyle() & LVS_EX_GRIDLINES);
        QVERIFY(List().AsListCtrl().GetExtendedStyle() & LVS_EX_FULLROWSELECT);
        const int paidAfter = List().GetRowValue(0) == -paid ? 0 : 1;
        QVERIFY(!List().RowFont(paidAfter).strikeOut());
        // Shading wins over grey: paid rows keep the normal text colour.
        QVERIFY(!List().RowTextColor(paidAfter).isValid());
        QCOMPARE(List().RowBackground(0), QColor(206, 239, 165));
        QVERIFY(!List().RowBackground(1).isValid());
    }

    void deleteRemovesTheRowAndTheQuickSummaryFollows() {
        const COleDateTime day = View().GetFilter().m_dtStart;
        const int first = AddEntry(1, day, 0, 10.0f);
        const int second = AddEntry(1, day, 0, 20.0f);
        View().Refresh(second);
        QCOMPARE(SummaryCell(17), qtconv::ToQString(FormatMoney(30.0f)));
        MessageBoxScript boxes({IDYES});
        QVERIFY(Trigger(Frame(), cmd::EditDelete));
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QCOMPARE(List().topLevelItemCount(), 1);
        QCOMPARE(List().GetSelectedRow(), 0);
        QCOMPARE(List().GetRowValue(0), first);
        QCOMPARE(SummaryCell(17), qtconv::ToQString(FormatMoney(10.0f)));
    }

    void deletingTheLastRowLeavesAnEmptyListAndZeroTotals() {
        const int only = AddEntry(1, View().GetFilter().m_dtStart, 0, 5.0f);
        View().Refresh(only);
        MessageBoxScript boxes({IDYES});
        Trigger(Frame(), cmd::EditDelete);
        QCOMPARE(List().topLevelItemCount(), 0);
        QCOMPARE(SummaryCell(17), qtconv::ToQString(FormatMoney(0.0f)));
        QVERIFY(!IsEnabled(Frame(), cmd::EditDelete));
    }

    void writeFailuresOfMarkAsPaidAndDeleteAreReportedAndChangeNothing() {
        const int entry = AddEntry(1, View().GetFilter().m_dtStart, 0, 40.0f);
        View().Refresh(entry);
        const std::string before = DataFileContents();
        {
            MessageBoxScript boxes;
            WriteFault::Scope full(WriteFault::Op::Write, 1, ENOSPC);
            Trigger(Frame(), cmd::MarkAsPaid);
            QCOMPARE(boxes.Shown().size(), size_t(1));
            QVERIFY(boxes.Shown()[0].text.Find(GetCurrDataHelper()->GetDataFilePath()) >= 0);
            QVERIFY(boxes.Shown()[0].text.Find(u"No space left on device") >= 0);
        }
        QCOMPARE(List().GetRowValue(List().GetSelectedRow()), entry);
        View().Refresh(entry);   // what memory holds is what the file holds
        QCOMPARE(List().GetRowValue(List().GetSelectedRow()), entry);
        {
            MessageBoxScript boxes({IDYES});
            WriteFault::Scope readOnly(WriteFault::Op::Open, 1, EROFS);
            Trigger(Frame(), cmd::EditDelete);
            QCOMPARE(boxes.Shown().size(), size_t(2));   // the confirmation, then the failure
            QVERIFY(boxes.Shown()[1].text.Find(u"Read-only file system") >= 0);
        }
        QCOMPARE(List().topLevelItemCount(), 1);
        QCOMPARE(DataFileContents(), before);
    }

    void deleteAnsweredNoKeepsTheEntry() {
        const int only = AddEntry(1, View().GetFilter().m_dtStart, 0, 5.0f);
        View().Refresh(only);
        MessageBoxScript boxes({IDNO});
        Trigger(Frame(), cmd::EditDelete);
        QCOMPARE(List().topLevelItemCount(), 1);
    }

    void contextMenuRoutesThroughTheFrame() {
        const int entry = AddEntry(1, View().GetFilter().m_dtStart, 0, 5.0f);
        View().Refresh(0);
        {
            PopupScript menu("contextMarkAsPaid");
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
            QApplication::sendEvent(List().viewport(), &event);
            QCOMPARE(menu.Shown(), 0);   // no row selected: no menu
        }
        View().Refresh(entry);
        PopupScript menu("contextMarkAsPaid");
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QApplication::sendEvent(List().viewport(), &event);
        QCOMPARE(menu.Shown(), 1);
        QVERIFY(menu.WasEnabled("contextEdit"));
        QVERIFY(menu.WasEnabled("contextDelete"));
        QCOMPARE(List().GetRowValue(List().GetSelectedRow()), -entry);
    }

    void summaryFollowsEveryRefresh() {
        View().SetPeriodType(CViewByDate::PeriodDay);
        QCOMPARE(SummaryCell(0), qtconv::ToQString(GetResString(57, 1)));
        AddEntry(CProjectItem::ItemType_Expense, View().GetFilter().m_dtStart, 0, 8.0f);
        View().Refresh(0);
        QCOMPARE(SummaryCell(4), QStringLiteral("1"));
        View().SetPeriodType(CViewByDate::PeriodMonth);
        QCOMPARE(SummaryCell(0), qtconv::ToQString(GetResString(59, 1)));
        QCOMPARE(Frame().GetSummaryView()->GetListCtrl()->topLevelItemCount(), 18);
        QCOMPARE(Frame().GetSummaryView()->GetListCtrl()->GetRowValue(0), -1);
    }

    void filterToggleOffShowsMessage89() {
        DialogScript dialogs({&PressOk});
        Trigger(Frame(), cmd::FilterData);
        QCOMPARE(dialogs.Shown(), 1);
        QVERIFY(View().IsFilterActive());
        QCOMPARE(View().GetFilter().m_bActive, 1);
        QCOMPARE(Frame().GetFilterPane()->text(), qtconv::ToQString(GetResString(88, 1)));
        QVERIFY(Frame().GetFilterPane()->frameStyle() != int(QFrame::NoFrame));
        QVERIFY(IsChecked(Frame(), cmd::FilterData));
        MessageBoxScript boxes;
        Trigger(Frame(), cmd::FilterData);
        QVERIFY(!View().IsFilterActive());
        QCOMPARE(View().GetFilter().m_bActive, 0);
        QVERIFY(!IsChecked(Frame(), cmd::FilterData));
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text == GetResString(89, 1));
        QCOMPARE(boxes.Shown()[0].flags & MB_ICONMASK, unsigned(MB_ICONINFORMATION));
        QVERIFY(Frame().GetFilterPane()->text().isEmpty());
        QCOMPARE(Frame().GetFilterPane()->frameStyle(), int(QFrame::NoFrame));
    }

    void customDatesTakeTheDialogsRange() {
        View().SetPeriodType(CViewByDate::PeriodWeek);
        const int inside = AddEntry(1, Date(2023, 6, 20), 0, 1.0f);
        AddEntry(1, Date(2023, 7, 2), 0, 1.0f);
        DialogScript dialogs({[](QDialog& dialog) {
            const QList<QDateTimeEdit*> edits = dialog.findChildren<QDateTimeEdit*>();
            if (edits.size() < 2)
                return int(QDialog::Rejected);
            edits[0]->setDate(QDate(2023, 6, 15));
            edits[1]->setDate(QDate(2023, 6, 30));
            return PressOk(dialog);
        }});
        Trigger(Frame(), cmd::PeriodCustom);
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(View().GetPeriodType(), int(CViewByDate::PeriodCustom));
        QVERIFY(SameDay(View().GetFilter().m_dtStart, Date(2023, 6, 15)));
        QVERIFY(SameDay(View().GetFilter().m_dtEnd, Date(2023, 6, 30)));
        QCOMPARE(List().topLevelItemCount(), 1);
        QCOMPARE(List().GetRowValue(0), inside);
        QCOMPARE(Registry::GetDword(CQuillmarApp::kSettingsKey, u"PeriodType", 9), 1u);
        QVERIFY(IsChecked(Frame(), cmd::PeriodCustom));
    }

    void customDatesCancelledKeepsThePeriod() {
        View().SetPeriodType(CViewByDate::PeriodMonth);
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::PeriodCustom);
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(View().GetPeriodType(), int(CViewByDate::PeriodMonth));
        QVERIFY(IsChecked(Frame(), cmd::PeriodMonth));
        QVERIFY(!IsChecked(Frame(), cmd::PeriodCustom));
    }

    void filterDialogCancelledKeepsTheFilterOff() {
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::FilterData);
        QVERIFY(!View().IsFilterActive());
        QVERIFY(!IsChecked(Frame(), cmd::FilterData));
        QVERIFY(Frame().GetFilterPane()->text().isEmpty());
        QCOMPARE(Frame().GetFilterPane()->frameStyle(), int(QFrame::NoFrame));
    }
};

DESKTOP_TEST_MAIN(ViewByDateTests)
#include "ViewByDateTests.moc"
