#include "desktop/reports/ReportTable.h"

#include <algorithm>
#include <QHeaderView>
#include <QTreeWidget>

#include "biz/CsvWriter.h"
#include "biz/Helpers.h"
#include "platform/Locale.h"
#include "ui/qt/QtConvert.h"

namespace {

// Resource library strings: entries, hours, billable, expenses, mileage, paid, unpaid; total.
constexpr unsigned kColumnNames[] = {65, 106, 69, 67, 68, 75, 76};
constexpr unsigned kTotal = 107;
constexpr int kMaxNameWidth = 240;

QString Hours(long long minutes) {
    return qtconv::ToQString(Locale::UserDefault().FormatNumber(CCsvWriter::DecimalHours(minutes)));
}

QString Money(const CAmount& amount) { return qtconv::ToQString(amount.FormatMoney()); }

}   // namespace

QStringList CReportTable::Headings(const CReport& report) {
    const CReport::Request& request = report.GetRequest();
    QString first = qtconv::ToQString(CReport::GroupByName(request.groupBy));
    if (request.thenBy != CReport::GroupBy_None)
        first += QStringLiteral(" / ") + qtconv::ToQString(CReport::GroupByName(request.thenBy));
    QStringList headings{first};
    for (unsigned id : kColumnNames)
        headings << qtconv::ToQString(GetResString(id, 1));
    return headings;
}

QStringList CReportTable::Cells(const QString& label, const CReportTotals& totals) {
    return {label,
            QString::number(totals.m_nCount),
            Hours(totals.m_nMinutes),
            Money(totals.m_billable),
            Money(totals.m_expenses),
            qtconv::ToQString(Locale::UserDefault().FormatNumber(CCsvWriter::Integer(totals.m_nDistance))),
            Money(totals.m_paid),
            Money(totals.m_unpaid)};
}

std::vector<CReportTable::Row> CReportTable::Rows(const CReport& report) {
    std::vector<Row> rows;
    for (const CReport::Group& group : report.Groups()) {
        rows.push_back({0, Cells(qtconv::ToQString(group.label), group.totals)});
        for (const CReport::Group& subgroup : group.subgroups)
            rows.push_back({1, Cells(qtconv::ToQString(subgroup.label), subgroup.totals)});
    }
    rows.push_back({-1, Cells(qtconv::ToQString(GetResString(kTotal, 1)), report.Totals())});
    return rows;
}

void CReportTable::Fill(QTreeWidget& tree, const CReport& report) {
    tree.clear();
    tree.setColumnCount(Column_Total);
    tree.setHeaderLabels(Headings(report));
    QTreeWidgetItem* parent = nullptr;
    for (const Row& row : Rows(report)) {
        auto* item =
            row.level == 1 && parent ? new QTreeWidgetItem(parent, row.cells) : new QTreeWidgetItem(&tree, row.cells);
        for (int c = Column_Count; c < Column_Total; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(Column_Group, row.cells[Column_Group]);
        if (row.level == 0)
            parent = item;
        if (row.level < 0) {
            QFont bold = item->font(0);
            bold.setBold(true);
            for (int c = 0; c < Column_Total; ++c)
                item->setFont(c, bold);
        }
    }
    // Branch marks only where there are subgroups to fold.
    tree.setRootIsDecorated(report.GetRequest().thenBy != CReport::GroupBy_None);
    tree.expandAll();
    for (int c = 0; c < Column_Total; ++c)
        tree.resizeColumnToContents(c);
    // A long name must not push the figures out of sight; it is shown whole in its tooltip.
    tree.setColumnWidth(Column_Group, std::min(tree.columnWidth(Column_Group), kMaxNameWidth));
}
