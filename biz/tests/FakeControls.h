#pragma once
// In-memory drop-down and report lists for tests of code that fills them.
#include <vector>

#include "platform/ComboBox.h"
#include "platform/ListCtrl.h"

class FakeComboBox : public CComboBox {
public:
    struct Item {
        CString text;
        uintptr_t value = 0;
    };
    std::vector<Item> items;
    int selection = CB_ERR;

    int GetCount() const override { return static_cast<int>(items.size()); }
    int AddString(const CString& text) override {
        items.push_back({text, 0});
        return GetCount() - 1;
    }
    int InsertString(int index, const CString& text) override {
        if (index < 0 || index > GetCount())
            return AddString(text);
        items.insert(items.begin() + index, {text, 0});
        return index;
    }
    int DeleteString(int index) override {
        if (!Valid(index))
            return CB_ERR;
        items.erase(items.begin() + index);
        return GetCount();
    }
    void ResetContent() override {
        items.clear();
        selection = CB_ERR;
    }
    CString GetLBText(int index) const override { return Valid(index) ? items[index].text : CString(); }
    int SetItemData(int index, uintptr_t value) override {
        if (!Valid(index))
            return CB_ERR;
        items[index].value = value;
        return 0;
    }
    uintptr_t GetItemData(int index) const override {
        return Valid(index) ? items[index].value : static_cast<uintptr_t>(CB_ERR);
    }
    int GetCurSel() const override { return selection; }
    int SetCurSel(int index) override {
        selection = Valid(index) ? index : CB_ERR;
        return selection;
    }
    int FindStringExact(int startAfter, const CString& text) const override {
        for (int i = startAfter + 1; i < GetCount(); ++i)
            if (items[i].text.CompareNoCase(text) == 0)
                return i;
        return CB_ERR;
    }

private:
    bool Valid(int index) const { return index >= 0 && index < GetCount(); }
};

class FakeListCtrl : public CListCtrl {
public:
    struct Column {
        CString heading;
        int format = 0;
        int width = 0;
    };
    struct Row {
        std::vector<CString> texts;
        uintptr_t value = 0;
        unsigned state = 0;
    };
    std::vector<Column> columns;
    std::vector<Row> rows;
    unsigned style = 0;

    int InsertColumn(int column, const CString& heading, int format, int width) override {
        if (column < 0 || column > GetColumnCount())
            column = GetColumnCount();
        columns.insert(columns.begin() + column, {heading, format, width});
        return column;
    }
    bool DeleteColumn(int column) override {
        if (column < 0 || column >= GetColumnCount())
            return false;
        columns.erase(columns.begin() + column);
        return true;
    }
    int GetColumnCount() const override { return static_cast<int>(columns.size()); }
    CString GetColumnHeading(int column) const override { return columns.at(column).heading; }
    int GetColumnWidth(int column) const override { return columns.at(column).width; }
    bool SetColumnWidth(int column, int width) override {
        columns.at(column).width = width;
        return true;
    }
    unsigned GetExtendedStyle() const override { return style; }
    unsigned SetExtendedStyle(unsigned newStyle) override {
        unsigned old = style;
        style = newStyle;
        return old;
    }
    int GetItemCount() const override { return static_cast<int>(rows.size()); }
    int InsertItem(int row, const CString& text) override {
        if (row < 0 || row > GetItemCount())
            row = GetItemCount();
        rows.insert(rows.begin() + row, Row{{text}, 0, 0});
        return row;
    }
    bool DeleteItem(int row) override {
        if (!Valid(row))
            return false;
        rows.erase(rows.begin() + row);
        return true;
    }
    bool DeleteAllItems() override {
        rows.clear();
        return true;
    }
    bool SetItemText(int row, int column, const CString& text) override {
        if (!Valid(row) || column < 0)
            return false;
        auto& texts = rows[row].texts;
        if (static_cast<int>(texts.size()) <= column)
            texts.resize(column + 1);
        texts[column] = text;
        return true;
    }
    CString GetItemText(int row, int column) const override {
        if (!Valid(row) || column < 0 || column >= static_cast<int>(rows[row].texts.size()))
            return CString();
        return rows[row].texts[column];
    }
    bool SetItemData(int row, uintptr_t value) override {
        if (!Valid(row))
            return false;
        rows[row].value = value;
        return true;
    }
    uintptr_t GetItemData(int row) const override { return Valid(row) ? rows[row].value : 0; }
    bool SetItemState(int row, unsigned state, unsigned mask) override {
        if (!Valid(row))
            return false;
        rows[row].state = (rows[row].state & ~mask) | (state & mask);
        return true;
    }
    unsigned GetItemState(int row, unsigned mask) const override { return Valid(row) ? rows[row].state & mask : 0; }
    int GetNextItem(int start, int flags) const override {
        for (int row = start + 1; row < GetItemCount(); ++row)
            if (flags == LVNI_ALL || (rows[row].state & LVIS_SELECTED))
                return row;
        return -1;
    }
    bool EnsureVisible(int row, bool) override { return Valid(row); }
    int GetSelectedCount() const override {
        int count = 0;
        for (const auto& row : rows)
            count += (row.state & LVIS_SELECTED) ? 1 : 0;
        return count;
    }

private:
    bool Valid(int row) const { return row >= 0 && row < GetItemCount(); }
};
