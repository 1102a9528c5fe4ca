#pragma once
// A drop-down list as the library sees it: items with a text and a numeric item value, and a
// selection. The programs adapt their widgets to it (ui/qt); tests use an in-memory one.
#include <cstdint>

#include "platform/CString.h"
#include "platform/PlatformExport.h"

constexpr int CB_ERR = -1;

class QUILLMAR_PLATFORM_EXPORT CComboBox {
public:
    virtual ~CComboBox() = default;
    virtual int GetCount() const = 0;
    virtual int AddString(const CString& text) = 0;                 // index of the new item
    virtual int InsertString(int index, const CString& text) = 0;   // -1 appends
    virtual int DeleteString(int index) = 0;                        // remaining count, CB_ERR
    virtual void ResetContent() = 0;
    virtual CString GetLBText(int index) const = 0;
    virtual int SetItemData(int index, uintptr_t value) = 0;   // CB_ERR on a bad index
    virtual uintptr_t GetItemData(int index) const = 0;        // CB_ERR on a bad index
    virtual int GetCurSel() const = 0;                         // CB_ERR when none
    virtual int SetCurSel(int index) = 0;                      // -1 clears; CB_ERR when out of range
    virtual int FindStringExact(int startAfter, const CString& text) const = 0;
};
