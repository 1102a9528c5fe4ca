#include "ui/qt/QtListCtrl.h"

#include <algorithm>

#include <QHeaderView>
#include <QTreeWidget>

#include "ui/qt/QtConvert.h"

namespace {

constexpr int kColumnFormatRole = Qt::UserRole + 8;

Qt::Alignment AlignmentFor(int format) {
    switch (format) {
    case LVCFMT_RIGHT: return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}   // namespace

CQtListCtrl::CQtListCtrl(QTreeWidget* tree) : m_tree(tree) { static_assert(kItemDataRole == Qt::UserRole + 7); }

QTreeWidgetItem* CQtListCtrl::Row(int row) const {
    if (row < 0 || row >= m_tree->topLevelItemCount())
        return nullptr;
    return m_tree->topLevelItem(row);
}

int CQtListCtrl::InsertColumn(int column, const CString& heading, int format, int width) {
    const int count = GetColumnCount();
    if (column < 0 || column > count)
        column = count;
    // A fresh tree reports one unnamed column; it becomes the first real one.
    if (count > 0)
        m_tree->setColumnCount(count + 1);
    // The tree only appends columns: everything right of the new one moves over by one.
    QTreeWidgetItem* header = m_tree->headerItem();
    for (int from = count - 1; from >= column && count > 0; --from) {
        header->setText(from + 1, header->text(from));
        header->setData(from + 1, kColumnFormatRole, header->data(from, kColumnFormatRole));
        header->setTextAlignment(from + 1, Qt::Alignment(header->textAlignment(from)));
        m_tree->setColumnWidth(from + 1, m_tree->columnWidth(from));
        for (int row = 0; row < m_tree->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = m_tree->topLevelItem(row);
            item->setText(from + 1, item->text(from));
            item->setTextAlignment(from + 1, Qt::Alignment(item->textAlignment(from)));
        }
    }
    header->setText(column, qtconv::ToQString(heading));
    header->setData(column, kColumnFormatRole, format);
    header->setTextAlignment(column, AlignmentFor(format));
    m_tree->setColumnWidth(column, width);
    for (int row = 0; row < m_tree->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_tree->topLevelItem(row);
        item->setText(column, QString());
        item->setTextAlignment(column, AlignmentFor(format));
    }
    return column;
}

bool CQtListCtrl::DeleteColumn(int column) {
    const int count = GetColumnCount();
    if (column < 0 || column >= count)
        return false;
    // The mirror of InsertColumn: later columns move left, then the last one goes.
    QTreeWidgetItem* header = m_tree->headerItem();
    for (int to = column; to + 1 < count; ++to) {
        header->setText(to, header->text(to + 1));
        header->setData(to, kColumnFormatRole, header->data(to + 1, kColumnFormatRole));
        header->setTextAlignment(to, Qt::Alignment(header->textAlignment(to + 1)));
        m_tree->setColumnWidth(to, m_tree->columnWidth(to + 1));
        for (int row = 0; row < m_tree->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = m_tree->topLevelItem(row);
            item->setText(to, item->text(to + 1));
            item->setTextAlignment(to, Qt::Alignment(item->textAlignment(to + 1)));
        }
    }
    if (count == 1) {
        header->setText(0, QString());
        header->setData(0, kColumnFormatRole, QVariant());
    } else {
        m_tree->setColumnCount(count - 1);
    }
    return true;
}

int CQtListCtrl::GetColumnCount() const {
    // The unnamed column of a fresh tree does not count until InsertColumn claims it.
    if (m_tree->columnCount() == 1 && !m_tree->headerItem()->data(0, kColumnFormatRole).isValid())
        return 0;
    return m_tree->columnCount();
}

CString CQtListCtrl::GetColumnHeading(int column) const {
    if (column < 0 || column >= GetColumnCount())
        return CString();
    return qtconv::FromQString(m_tree->headerItem()->text(column));
}

int CQtListCtrl::GetColumnWidth(int column) const {
    if (column < 0 || column >= GetColumnCount())
        return 0;
    return m_tree->columnWidth(column);
}

bool CQtListCtrl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= GetColumnCount() || width < 0)
        return false;
    m_tree->setColumnWidth(column, width);
    return true;
}

unsigned CQtListCtrl::GetExtendedStyle() const { return m_extendedStyle; }

unsigned CQtListCtrl::SetExtendedStyle(unsigned style) {
    const unsigned previous = m_extendedStyle;
    m_extendedStyle = style;
    m_tree->setSelectionBehavior((style & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                                : QAbstractItemView::SelectItems);
    m_tree->viewport()->update();
    return previous;
}

int CQtListCtrl::GetItemCount() const { return m_tree->topLevelItemCount(); }

int CQtListCtrl::InsertItem(int row, const CString& text) {
    const int count = GetItemCount();
    if (row < 0 || row > count)
        row = count;
    auto* item = new QTreeWidgetItem();
    const int columns = std::max(1, GetColumnCount());
    for (int column = 0; column < columns; ++column) {
        const int format = m_tree->headerItem()->data(column, kColumnFormatRole).toInt();
        item->setTextAlignment(column, AlignmentFor(format));
    }
    item->setText(0, qtconv::ToQString(text));
    item->setData(0, kItemDataRole, QVariant::fromValue<qulonglong>(0));
    m_tree->insertTopLevelItem(row, item);   // the tree owns the item from here
    return row;
}

bool CQtListCtrl::DeleteItem(int row) {
    if (!Row(row))
        return false;
    delete m_tree->takeTopLevelItem(row);
    return true;
}

bool CQtListCtrl::DeleteAllItems() {
    m_tree->clear();
    return true;
}

bool CQtListCtrl::SetItemText(int row, int column, const CString& text) {
    QTreeWidgetItem* item = Row(row);
    if (!item || column < 0 || column >= std::max(1, GetColumnCount()))
        return false;
    item->setText(column, qtconv::ToQString(text));
    return true;
}

CString CQtListCtrl::GetItemText(int row, int column) const {
    QTreeWidgetItem* item = Row(row);
    if (!item || column < 0)
        return CString();
    return qtconv::FromQString(item->text(column));
}

bool CQtListCtrl::SetItemData(int row, uintptr_t value) {
    QTreeWidgetItem* item = Row(row);
    if (!item)
        return false;
    item->setData(0, kItemDataRole, QVariant::fromValue<qulonglong>(value));
    return true;
}

uintptr_t CQtListCtrl::GetItemData(int row) const {
    QTreeWidgetItem* item = Row(row);
    if (!item)
        return 0;
    return static_cast<uintptr_t>(item->data(0, kItemDataRole).toULongLong());
}

bool CQtListCtrl::SetItemState(int row, unsigned state, unsigned mask) {
    QTreeWidgetItem* item = Row(row);
    if (!item)
        return false;
    if (mask & LVIS_SELECTED) {
        if (state & LVIS_SELECTED) {
            if (m_tree->selectionMode() == QAbstractItemView::SingleSelection)
                m_tree->clearSelection();
            item->setSelected(true);
        } else {
            item->setSelected(false);
        }
    }
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        m_tree->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    return true;
}

unsigned CQtListCtrl::GetItemState(int row, unsigned mask) const {
    QTreeWidgetItem* item = Row(row);
    if (!item)
        return 0;
    unsigned state = 0;
    if (item->isSelected())
        state |= LVIS_SELECTED;
    if (m_tree->currentItem() == item)
        state |= LVIS_FOCUSED;
    return state & mask;
}

int CQtListCtrl::GetNextItem(int start, int flags) const {
    const int count = GetItemCount();
    for (int row = std::max(0, start + 1); row < count; ++row) {
        if (!(flags & LVNI_SELECTED) || m_tree->topLevelItem(row)->isSelected())
            return row;
    }
    return -1;
}

bool CQtListCtrl::EnsureVisible(int row, bool partialOk) {
    QTreeWidgetItem* item = Row(row);
    if (!item)
        return false;
    // A partly visible row is scrolled fully into view either way; Qt has no partial mode.
    (void)partialOk;
    m_tree->scrollToItem(item, QAbstractItemView::EnsureVisible);
    return true;
}

int CQtListCtrl::GetSelectedCount() const {
    int selected = 0;
    for (int row = 0; row < GetItemCount(); ++row) {
        if (m_tree->topLevelItem(row)->isSelected())
            ++selected;
    }
    return selected;
}
