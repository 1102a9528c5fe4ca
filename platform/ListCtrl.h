#pragma once
// A report list as the library sees it: columns with header texts, rows with a text per column
// and a numeric item value, extended styles. Adapted to widgets in ui/qt; faked in tests.
#include <cstdint>

#include "platform/CString.h"
#include "platform/PlatformExport.h"

enum : int { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };
enum : unsigned {
    LVS_EX_GRIDLINES = 0x1,
    LVS_EX_FULLROWSELECT = 0x20,
    LVS_EX_LABELTIP = 0x4000,
    LVS_EX_DOUBLEBUFFER = 0x10000,
};
enum : unsigned { LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2 };
enum : int { LVNI_ALL = 0x0, LVNI_SELECTED = 0x2 };

class QUILLMAR_PLATFORM_EXPORT CListCtrl {
public:
    virtual ~CListCtrl() = default;
    virtual int InsertColumn(int column, const CString& heading, int format, int width) = 0;
    virtual bool DeleteColumn(int column) = 0;
    virtual int GetColumnCount() const = 0;
    virtual CString GetColumnHeading(int column) const = 0;
    virtual int GetColumnWidth(int column) const = 0;
    virtual bool SetColumnWidth(int column, int width) = 0;
    virtual unsigned GetExtendedStyle() const = 0;
    virtual unsigned SetExtendedStyle(unsigned style) = 0;   // returns the previous style

    virtual int GetItemCount() const = 0;
    virtual int InsertItem(int row, const CString& text) = 0;   // index of the new row, -1 on failure
    virtual bool DeleteItem(int row) = 0;
    virtual bool DeleteAllItems() = 0;
    virtual bool SetItemText(int row, int column, const CString& text) = 0;
    virtual CString GetItemText(int row, int column) const = 0;
    virtual bool SetItemData(int row, uintptr_t value) = 0;
    virtual uintptr_t GetItemData(int row) const = 0;
    virtual bool SetItemState(int row, unsigned state, unsigned mask) = 0;
    virtual unsigned GetItemState(int row, unsigned mask) const = 0;
    virtual int GetNextItem(int start, int flags) const = 0;   // -1 when none
    virtual bool EnsureVisible(int row, bool partialOk) = 0;
    virtual int GetSelectedCount() const = 0;
};
