#pragma once
// The font of a range: setting a member sets it on every cell of the range.
#include "desktop/export/ExcelRange.h"

class CExcelFont {
public:
    explicit CExcelFont(CExcelRange range) : m_range(std::move(range)) {}
    void SetName(const CString& name);
    void SetSize(double size);
    void SetBold(bool bold);

private:
    CExcelRange m_range;
};
