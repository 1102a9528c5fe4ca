#pragma once
// The spreadsheet application as the export drives it. Workbooks are built in memory; making
// the application visible writes each new workbook as an .xlsx file to a new temporary file
// and opens it with the desktop's default application. Nothing is saved anywhere else.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop/export/ExcelWorkbook.h"

class CExcelApplication;

class CExcelWorkbooks {
public:
    explicit CExcelWorkbooks(CExcelApplication& application) : m_application(application) {}
    CExcelWorkbook Add();   // a new workbook, template omitted
    int Count() const;

private:
    CExcelApplication& m_application;
};

class CExcelApplication {
public:
    // Opens a written workbook file; false when no application could open it.
    using FileOpener = std::function<bool(const std::string& path)>;

    // The application, or nullptr when no spreadsheet application can be started here.
    static std::unique_ptr<CExcelApplication> Create();
    // Tests replace how workbooks are shown; an empty opener restores the desktop's.
    static FileOpener SetFileOpener(FileOpener opener);

    CExcelWorkbooks Workbooks() { return CExcelWorkbooks(*this); }
    // Showing writes and opens every workbook not shown yet. False when a workbook could not
    // be written or no application opened it.
    bool SetVisible(bool visible);
    bool GetVisible() const { return m_visible; }
    void SetUserControl(bool userControl) { m_userControl = userControl; }
    bool GetUserControl() const { return m_userControl; }
    // The files written so far, for whoever needs to know where the workbook went.
    const std::vector<std::string>& WrittenFiles() const { return m_writtenFiles; }

private:
    explicit CExcelApplication(FileOpener opener) : m_opener(std::move(opener)) {}
    bool ShowWorkbook(const CExcelWorkbook& workbook);

    FileOpener m_opener;
    std::vector<CExcelWorkbook> m_workbooks;
    size_t m_shown = 0;
    bool m_visible = false;
    bool m_userControl = false;
    std::vector<std::string> m_writtenFiles;
    friend class CExcelWorkbooks;
};
