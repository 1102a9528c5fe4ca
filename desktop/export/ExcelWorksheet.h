#pragma once
// A worksheet of the workbook, its collection, the workbook and the workbooks collection:
// the spreadsheet objects the export walks from the application to a range.
#include <memory>
#include <vector>

#include "desktop/export/ExcelRange.h"

class CExcelWorksheet {
public:
    explicit CExcelWorksheet(std::shared_ptr<CWorkbookModel> sheet) : m_sheet(std::move(sheet)) {}
    // A cell by its A1 reference; an empty range when the text is no cell reference.
    CExcelRange Range(const CString& cell) const;
    const CWorkbookModel& Model() const { return *m_sheet; }

private:
    std::shared_ptr<CWorkbookModel> m_sheet;
};
