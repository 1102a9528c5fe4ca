#include "device/EntriesList.h"

#include <QHeaderView>
#include <QPainter>

#include <algorithm>

#include "device/DeviceDialogLook.h"

namespace {
constexpr int kDescriptionRole = Qt::UserRole + 64;
}   // namespace

CEntriesList::CEntriesList(QWidget* parent) : CListCtrlEx(parent) { setUniformRowHeights(true); }

int CEntriesList::RowHeight() const {
    const QFontMetrics metrics(font());
    // Two lines, and a whole tap target.
    return std::max({2 * metrics.height() + 4, iconSize().height() + metrics.height() + 4, DeviceTapTarget()});
}

void CEntriesList::SetRowDescription(int row, const QString& description) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr)
        return;
    item->setData(0, kDescriptionRole, description);
    item->setSizeHint(0, QSize(1, RowHeight()));
    for (int column = 0; column < columnCount(); ++column) {
        const Qt::Alignment horizontal = Qt::Alignment(item->textAlignment(column)) & Qt::AlignHorizontal_Mask;
        item->setTextAlignment(column, horizontal | Qt::AlignTop);
    }
}

QString CEntriesList::RowDescription(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, kDescriptionRole).toString() : QString();
}

void CEntriesList::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    CListCtrlEx::drawRow(painter, option, index);
    const QString description = RowDescription(index.row());
    if (description.isEmpty())
        return;
    const QFontMetrics metrics(RowFont(index.row()));
    // Below the first line, from where the weekday or date starts to the right edge.
    const int left = option.rect.left() + iconSize().width() + 8 - header()->offset();
    const QRect line(left, option.rect.bottom() - metrics.height() - 1, viewport()->width() - left - 4,
                     metrics.height());
    painter->save();
    painter->setFont(RowFont(index.row()));
    const bool selected = selectionModel()->isRowSelected(index.row(), index.parent());
    painter->setPen(selected ? palette().color(QPalette::HighlightedText)
                             : palette().color(QPalette::PlaceholderText));
    painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                      metrics.elidedText(description, Qt::ElideRight, line.width()));
    painter->restore();
}
