// The report list's own column handling: columns that fit their content however long the
// list, and the arrangement kept in the settings and put back to its first state.
#include <QHeaderView>
#include <QtTest>

#include "platform/Registry.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/ListLayout.h"
#include "ui/shared/tests/UiTestEnvironment.h"

namespace {

const CString kKey = u"Software\\Kestovar\\Quillmar\\Settings";

// A list of three columns: a date that fits its content, a name that stretches, an amount.
struct ThreeColumnList {
    CListCtrlEx list;
    ThreeColumnList() {
        list.resize(400, 300);
        CListCtrl& adapter = list.AsListCtrl();
        adapter.InsertColumn(0, u"Date", LVCFMT_LEFT, 50);
        adapter.InsertColumn(1, u"Name", LVCFMT_LEFT, 100);
        adapter.InsertColumn(2, u"Amount", LVCFMT_RIGHT, 60);
        list.SetColumnFit(0, CListCtrlEx::ColumnFit::Content);
        list.SetColumnFit(1, CListCtrlEx::ColumnFit::Stretch);
        list.SetColumnFit(2, CListCtrlEx::ColumnFit::Content);
    }
    int Add(const CString& date, const CString& amount) {
        CListCtrl& adapter = list.AsListCtrl();
        const int row = adapter.InsertItem(adapter.GetItemCount(), date);
        adapter.SetItemText(row, 1, u"name");
        adapter.SetItemText(row, 2, amount);
        return row;
    }
    bool Fits(int row, int column) {
        const QString text = list.topLevelItem(row)->text(column);
        return QFontMetrics(list.font()).horizontalAdvance(text) + 6 <= list.columnWidth(column);
    }
};

}   // namespace

class ListCtrlExTests : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetUserData(); }

    void theWidestCellFitsWhereverItStandsInALongList() {
        ThreeColumnList three;
        three.list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&three.list));
        // Far more rows than the view measures on its own, the longest texts last.
        for (int row = 0; row < 1500; ++row)
            three.Add(u"1/1/2003", u"$1.00");
        const int last = three.Add(u"12/28/2006", u"$12,345.67");
        three.list.FitColumns();
        QVERIFY(three.Fits(last, 0));
        QVERIFY(three.Fits(last, 2));
        // Scrolled to the end, the first rows still count.
        three.list.sortItems(0, Qt::DescendingOrder);
        three.list.scrollToBottom();
        three.list.FitColumns();
        QVERIFY(three.Fits(0, 0));
    }

    void layoutIsKeptAndResetToTheFirstOrderWidthsAndSort() {
        {
            ThreeColumnList three;
            three.Add(u"1/2/2003", u"$2.00");
            three.Add(u"1/1/2003", u"$3.00");
            CListLayout layout(kKey, three.list);
            layout.Load();
            three.list.SetUserColumnWidth(1, 150);
            three.list.header()->moveSection(2, 0);
            layout.SortBy(2);
            layout.SortBy(2);   // the second click reverses
            QVERIFY(!layout.IsSortAscending());
            layout.SaveColumns();
        }
        ThreeColumnList three;
        three.Add(u"1/1/2003", u"$1.00");
        three.Add(u"1/2/2003", u"$2.00");
        CListLayout layout(kKey, three.list);
        layout.Load();
        QCOMPARE(layout.SortColumn(), 2);
        QVERIFY(!layout.IsSortAscending());
        QCOMPARE(three.list.header()->logicalIndex(0), 2);
        QCOMPARE(three.list.columnWidth(1), 150);
        const int fitted = three.list.columnWidth(0);

        layout.Reset();
        QCOMPARE(layout.SortColumn(), 0);
        QVERIFY(layout.IsSortAscending());
        QCOMPARE(three.list.topLevelItem(0)->text(0), QStringLiteral("1/1/2003"));
        for (int column = 0; column < 3; ++column) {
            QCOMPARE(three.list.header()->logicalIndex(column), column);
            QCOMPARE(three.list.UserColumnWidth(column), 0);
        }
        QVERIFY(three.list.columnWidth(1) != 150);   // the name stretches again
        QCOMPARE(three.list.columnWidth(0), fitted);
        for (const char16_t* name :
             {CListLayout::kSortColumnSetting, CListLayout::kSortAscendingSetting, CListLayout::kColumnsSetting})
            QVERIFY(!Registry::Query(kKey, name));
        // A list back in its first state writes nothing.
        layout.SaveColumns();
        QVERIFY(!Registry::Query(kKey, CListLayout::kColumnsSetting));
    }
};

UI_TEST_MAIN(ListCtrlExTests)
#include "ListCtrlExTests.moc"
