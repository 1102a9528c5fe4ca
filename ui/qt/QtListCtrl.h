#pragma once
// CListCtrl (platform/ListCtrl.h) over a QTreeWidget used as a report list: one top-level
// item per row, item values in column 0's Qt::UserRole, the extended styles kept as flags
// (grid lines are the widget's business; an owner draws them when the flag is set).
// The adapter does not own the widget; it must not outlive it.
#include "platform/ListCtrl.h"

class QTreeWidget;
class QTreeWidgetItem;

class CQtListCtrl : public CListCtrl {
public:
    explicit CQtListCtrl(QTreeWidget* tree);

    int InsertColumn(int column, const CString& heading, int format, int width) override;
    bool DeleteColumn(int column) override;
    int GetColumnCount() const override;
    CString GetColumnHeading(int column) const override;
    int GetColumnWidth(int column) const override;
    bool SetColumnWidth(int column, int width) override;
    unsigned GetExtendedStyle() const override;
    unsigned SetExtendedStyle(unsigned style) override;

    int GetItemCount() const override;
    int InsertItem(int row, const CString& text) override;
    bool DeleteItem(int row) override;
    bool DeleteAllItems() override;
    bool SetItemText(int row, int column, const CString& text) override;
    CString GetItemText(int row, int column) const override;
    bool SetItemData(int row, uintptr_t value) override;
    uintptr_t GetItemData(int row) const override;
    bool SetItemState(int row, unsigned state, unsigned mask) override;
    unsigned GetItemState(int row, unsigned mask) const override;
    int GetNextItem(int start, int flags) const override;
    bool EnsureVisible(int row, bool partialOk) override;
    int GetSelectedCount() const override;

    QTreeWidget* Widget() const { return m_tree; }
    // The role that holds a row's item value.
    static constexpr int kItemDataRole = 0x0100 + 7;   // Qt::UserRole + 7

private:
    QTreeWidgetItem* Row(int row) const;
    QTreeWidget* m_tree;
    unsigned m_extendedStyle = 0;
};
