#pragma once
// A workbook of one worksheet, as a new workbook from the default template starts.
#include <memory>
#include <optional>

#include "desktop/export/ExcelWorksheet.h"

class CExcelWorksheets {
public:
    explicit CExcelWorksheets(std::shared_ptr<CWorkbookModel> sheet) : m_sheet(std::move(sheet)) {}
    int Count() const { return 1; }
    // Sheets count from 1; nullopt for any other index.
    std::optional<CExcelWorksheet> Item(int index) const;

private:
    std::shared_ptr<CWorkbookModel> m_sheet;
};

class CExcelWorkbook {
public:
    CExcelWorkbook() : m_sheet(std::make_shared<CWorkbookModel>()) {}
    CExcelWorksheets Worksheets() const { return CExcelWorksheets(m_sheet); }
    const CWorkbookModel& FirstSheet() const { return *m_sheet; }

private:
    std::shared_ptr<CWorkbookModel> m_sheet;
};
