#pragma once
// A report's table as the report window and its printed page show it: a heading row, a row per
// group (with a second level, the group's row comes first and its subgroups follow, indented),
// and the report's totals last. Money in the user's money format, hours with two decimals.
#include <vector>
#include <QString>
#include <QStringList>

#include "biz/Report.h"

class QTreeWidget;

class CReportTable {
public:
    enum Column : int {
        Column_Group,
        Column_Count,
        Column_Hours,
        Column_Billable,
        Column_Expenses,
        Column_Mileage,
        Column_Paid,
        Column_Unpaid,
        Column_Total
    };

    struct Row {
        int level = 0;   // 0 group, 1 subgroup, -1 the report's totals
        QStringList cells;
    };

    static QStringList Headings(const CReport& report);
    static std::vector<Row> Rows(const CReport& report);
    static QStringList Cells(const QString& label, const CReportTotals& totals);

    // Fills the tree: groups with their subgroups as children (expanded), totals last in bold.
    static void Fill(QTreeWidget& tree, const CReport& report);
};
