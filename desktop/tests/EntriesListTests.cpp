// The entries list's own tools: sorting by a column, the search box, several rows at once and
// the remembered column layout.
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/SummaryData.h"
#include "desktop/CommandIds.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ViewByDate.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/WriteFault.h"
#include "ui/shared/ListCtrlEx.h"

using namespace testsupport;

namespace {

COleDateTime May(int day) { return COleDateTime(2004, 5, day, 0, 0, 0); }

int Save(const COleDateTime& date, const CString& projectRef, const CString& description,
         const CString& categoryRef = CString(), int minutes = 0, float amount = 0, const CString& notes = CString()) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Time);
    entry.set_ItemDate(date);
    entry.set_ProjectRef(projectRef);
    entry.set_Description(description);
    entry.set_CategoryRef(categoryRef);
    entry.set_DurationInMinutes(minutes);
    entry.set_BillAmount(amount);
    entry.set_Notes(notes);
    return entry.Save() ? entry.get_ID() : 0;
}

CProjectItem::PymtStatus StatusOf(int id) {
    CProjectItem entry;
    entry.set_ID(id);
    return entry.Load() ? entry.get_PymtStatus() : CProjectItem::PymtStatus_NotBilled;
}

}   // namespace

class EntriesListTests : public ProgramTest {
    Q_OBJECT
private:
    void ShowMay() {
        View().SetPeriodType(CViewByDate::PeriodMonth);
        View().GoToDate(May(1));
    }

private slots:
    void init() {
        QVERIFY(StartFresh());
        Frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Frame()));
    }
    void cleanup() { StopProgram(m_app); }

    void eachColumnSortsBothWaysWithTiesInDateOrder() {
        const CString alpha = RefIdOf(AddProject(u"Alpha", AddClient(u"Acme")), u"project");
        const CString beta = RefIdOf(AddProject(u"Beta", AddClient(u"Acme")), u"project");
        CCategory category;
        category.set_Code(u"X");
        QVERIFY(category.Save());
        const int a = Save(May(10), beta, u"alpha", category.get_RefID(), 60, 50.0f);
        const int b = Save(May(3), alpha, u"beta", CString(), 30, 50.0f);
        const int c = Save(May(7), beta, u"Álpha", category.get_RefID(), 60, 20.0f);
        ShowMay();
        const std::vector<int> byDate{b, c, a};
        QCOMPARE(Rows(), byDate);   // the store's date order to begin with

        const struct {
            int column;
            std::vector<int> ascending;
            std::vector<int> descending;
        } expected[] = {
            {1, {b, c, a}, {c, a, b}},   // project: Beta's two keep their dates' order both ways
            {2, {c, a, b}, {b, c, a}},   // description: "alpha" and "Álpha" are equal
            {3, {b, c, a}, {c, a, b}},   // category: none first
            {4, {b, c, a}, {c, a, b}},   // duration
            {5, {c, b, a}, {b, a, c}},   // amount
            {0, byDate, {a, c, b}},
        };
        for (const auto& column : expected) {
            ClickHeader(column.column);
            QCOMPARE(Rows(), column.ascending);
            ClickHeader(column.column);
            QCOMPARE(Rows(), column.descending);
        }
        // The sort is kept: a refresh and a restart show the same order.
        ClickHeader(5);
        View().Refresh(0);
        QCOMPARE(Rows(), (std::vector<int>{c, b, a}));
        QVERIFY(Restart());
        ShowMay();
        QCOMPARE(View().SortColumn(), 5);
        QCOMPARE(Rows(), (std::vector<int>{c, b, a}));
    }

    void searchNarrowsTheListSaysHowManyAndEscapeClearsIt() {
        const CString acme = RefIdOf(AddProject(u"Website", AddClient(u"Zürich Bank")), u"project");
        const int accented = Save(May(10), CString(), u"Résumé review");
        const int inNotes = Save(May(12), CString(), u"Call", CString(), 0, 0, u"about the RESUME");
        const int byClient = Save(May(14), acme, u"Layout");
        Save(May(20), CString(), u"Unrelated");
        const int june = Save(COleDateTime(2004, 6, 3, 0, 0, 0), CString(), u"resume again");
        ShowMay();
        QCOMPARE(List().topLevelItemCount(), 4);

        // Typing searches once the keys pause, not at every key; Enter searches at once.
        QTest::keyClicks(View().GetSearchBox(), QStringLiteral("resume"));
        QCOMPARE(List().topLevelItemCount(), 4);
        QTRY_COMPARE(Rows(), (std::vector<int>{accented, inNotes}));
        QTest::keyClicks(View().GetSearchBox(), QStringLiteral(" review"));
        QTest::keyClick(View().GetSearchBox(), Qt::Key_Return);
        QCOMPARE(Rows(), std::vector<int>{accented});
        View().GetSearchBox()->setText(QStringLiteral("resume"));
        QTest::keyClick(View().GetSearchBox(), Qt::Key_Return);
        QCOMPARE(Rows(), (std::vector<int>{accented, inNotes}));
        QVERIFY(View().GetSearchPane()->isVisibleTo(&Frame()));
        QCOMPARE(View().GetSearchPane()->text(), QStringLiteral("2 entries match"));

        QCOMPARE(View().GetSummaryData().m_strTitle, GetResString(59, 1));   // the month's

        View().GetAllDatesBox()->setChecked(true);
        QCOMPARE(Rows(), (std::vector<int>{accented, inNotes, june}));
        QVERIFY(View().GetSearchPane()->text().startsWith(QStringLiteral("3 entries match")));
        // The summary counts what was found across all dates, and says so.
        const CSummaryData& summary = View().GetSummaryData();
        QCOMPARE(summary.m_nTimeCount, 3);
        QCOMPARE(summary.m_strTitle, CString(u"All dates"));
        QCOMPARE(summary.m_dtStart, May(10));
        QCOMPARE(summary.m_dtEnd, COleDateTime(2004, 6, 3, 0, 0, 0));

        View().SetSearchPause(0);
        View().GetSearchBox()->setText(QStringLiteral("zurich"));
        QCOMPARE(Rows(), std::vector<int>{byClient});
        QVERIFY(View().GetSearchPane()->text().startsWith(QStringLiteral("1 entry matches")));

        QTest::keyClick(View().GetSearchBox(), Qt::Key_Escape);
        QVERIFY(View().GetSearchBox()->text().isEmpty());
        QCOMPARE(List().topLevelItemCount(), 4);
        QCOMPARE(summary.m_strTitle, GetResString(59, 1));
        QCOMPARE(summary.m_dtStart, May(1));
        QVERIFY(!View().GetSearchPane()->isVisibleTo(&Frame()));
    }

    void resetLayoutPutsTheColumnsAndTheSortBack() {
        Save(May(3), CString(), u"Something");
        ShowMay();
        List().SetUserColumnWidth(2, 333);
        List().header()->moveSection(List().header()->visualIndex(5), 1);
        ClickHeader(4);
        View().SaveColumnState();
        QVERIFY(Registry::QueryString(CQuillmarApp::kSettingsKey, CViewByDate::kColumnsSetting));
        {
            MessageBoxScript boxes({IDOK, IDOK});
            QVERIFY(Trigger(Frame(), cmd::ResetLayout));
            QCOMPARE(boxes.Shown().size(), size_t(2));
        }
        auto expectDefaults = [this] {
            QCOMPARE(View().SortColumn(), 0);
            QVERIFY(View().IsSortAscending());
            QCOMPARE(List().header()->sortIndicatorSection(), 0);
            for (int column = 0; column < List().columnCount(); ++column) {
                QCOMPARE(List().header()->logicalIndex(column), column);
                QCOMPARE(List().UserColumnWidth(column), 0);
            }
            QVERIFY(List().columnWidth(2) != 333);
        };
        expectDefaults();
        StopProgram(m_app);
        for (const char16_t* name :
             {CViewByDate::kColumnsSetting, CViewByDate::kSortColumnSetting, CViewByDate::kSortAscendingSetting})
            QVERIFY(!Registry::Query(CQuillmarApp::kSettingsKey, name));
        m_app = StartProgram();
        QVERIFY(m_app);
        ShowMay();
        expectDefaults();
    }

    void markPaidBilledAndDeleteActOnEverySelectedRowWithOneQuestion() {
        const int first = Save(May(3), CString(), u"First");
        const int second = Save(May(4), CString(), u"Second");
        const int third = Save(May(5), CString(), u"Third");
        ShowMay();
        List().setFocus();
        QTest::keyClick(&List(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(List().GetSelectedRows().size(), size_t(3));
        {
            // The second entry's write fails: it alone stays unpaid, and the message says which.
            MessageBoxScript boxes({IDYES});
            WriteFault::Scope fault(WriteFault::Op::Rename, 2, EIO);
            QVERIFY(Trigger(Frame(), cmd::MarkAsPaid));
            QCOMPARE(boxes.Shown().size(), size_t(2));
            QVERIFY(boxes.Shown()[0].text.Find(u"3 selected entries") >= 0);
            const CString failure = boxes.Shown()[1].text;
            QVERIFY(failure.Find(u"1 entry of 3 entries could not be marked as paid") >= 0);
            QVERIFY(failure.Find(u"Second") >= 0);
            QVERIFY(failure.Find(u"These were marked as paid") >= 0);
            QVERIFY(failure.Find(u"First") > failure.Find(u"These were"));
            QVERIFY(failure.Find(GetCurrDataHelper()->GetDataFilePath()) >= 0);
        }
        QCOMPARE(StatusOf(first), CProjectItem::PymtStatus_Paid);
        QCOMPARE(StatusOf(second), CProjectItem::PymtStatus_NotBilled);
        QCOMPARE(StatusOf(third), CProjectItem::PymtStatus_Paid);
        QCOMPARE(List().GetSelectedRows().size(), size_t(3));   // still selected after the refresh
        QVERIFY(List().GetRowValue(0) < 0 && List().GetRowValue(1) > 0 && List().GetRowValue(2) < 0);

        {
            // Only the unpaid one needs marking as billed: no question for one entry.
            MessageBoxScript boxes;
            QVERIFY(IsEnabled(Frame(), cmd::MarkAsBilled));
            QVERIFY(Trigger(Frame(), cmd::MarkAsBilled));
            QCOMPARE(boxes.Shown().size(), size_t(0));
        }
        QCOMPARE(StatusOf(second), CProjectItem::PymtStatus_Billed);
        QCOMPARE(StatusOf(first), CProjectItem::PymtStatus_Paid);

        {
            MessageBoxScript declined({IDNO});
            QVERIFY(Trigger(Frame(), cmd::EditDelete));
            QCOMPARE(declined.Shown().size(), size_t(1));
            QVERIFY(declined.Shown()[0].text.Find(u"Delete the 3 selected entries?") >= 0);
        }
        QCOMPARE(List().topLevelItemCount(), 3);
        {
            MessageBoxScript boxes({IDYES});
            QVERIFY(Trigger(Frame(), cmd::EditDelete));
            QCOMPARE(boxes.Shown().size(), size_t(1));   // one question, not one per entry
        }
        QCOMPARE(List().topLevelItemCount(), 0);
        for (int id : {first, second, third}) {
            CProjectItem gone;
            gone.set_ID(id);
            QVERIFY(!gone.Load());
        }
        // Each deletion left its marker for the synchronisation.
        std::unique_ptr<CObArray> markers(GetCurrDataHelper()->GetObjectList(u"deleted"));
        QVERIFY(markers && markers->GetSize() >= 3);
    }

    void columnOrderAndWidthsComeBackAfterARestart() {
        Save(May(3), CString(), u"Something");
        ShowMay();
        const int automatic = List().columnWidth(3);
        List().SetUserColumnWidth(2, 333);
        List().header()->moveSection(List().header()->visualIndex(5), 1);
        QVERIFY(Restart());
        ShowMay();
        QCOMPARE(List().columnWidth(2), 333);
        QCOMPARE(List().header()->logicalIndex(1), 5);
        QCOMPARE(List().columnWidth(3), automatic);   // columns left alone still fit themselves

        // A damaged setting is ignored rather than half applied.
        StopProgram(m_app);
        Registry::SetString(CQuillmarApp::kSettingsKey, CViewByDate::kColumnsSetting, u"order:0,0,1;widths:x");
        QVERIFY(Restart());
        QCOMPARE(List().header()->logicalIndex(1), 1);
        QCOMPARE(List().UserColumnWidth(2), 0);
    }
};

DESKTOP_TEST_MAIN(EntriesListTests)
#include "EntriesListTests.moc"
