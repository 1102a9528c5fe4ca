#include "desktop/export/ExcelApplication.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include "desktop/export/XlsxWriter.h"
#include "ui/qt/UrlOpener.h"

namespace {
CExcelApplication::FileOpener& InstalledOpener() {
    static CExcelApplication::FileOpener opener;
    return opener;
}

// Through the shared opener, which tells the user where the workbook is when nothing opens it.
bool OpenWithDesktop(const std::string& path) {
    return OpenUrl(QUrl::fromLocalFile(QString::fromStdString(path)).toString()) > 32;
}

bool DesktopCanOpenFiles() {
    // Without a desktop opener there is nothing that could show the workbook.
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
}

// A new, uniquely named file that stays after this function; empty on failure.
std::string NewTemporaryWorkbookPath() {
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/Quillmar-XXXXXX.xlsx"));
    file.setAutoRemove(false);
    if (!file.open())
        return std::string();
    return file.fileName().toStdString();
}
}   // namespace

std::unique_ptr<CExcelApplication> CExcelApplication::Create() {
    FileOpener opener = InstalledOpener();
    if (!opener) {
        if (!DesktopCanOpenFiles())
            return nullptr;
        opener = OpenWithDesktop;
    }
    return std::unique_ptr<CExcelApplication>(new CExcelApplication(std::move(opener)));
}

CExcelApplication::FileOpener CExcelApplication::SetFileOpener(FileOpener opener) {
    FileOpener previous = std::move(InstalledOpener());
    InstalledOpener() = std::move(opener);
    return previous;
}

CExcelWorkbook CExcelWorkbooks::Add() {
    m_application.m_workbooks.emplace_back();
    return m_application.m_workbooks.back();
}

int CExcelWorkbooks::Count() const { return static_cast<int>(m_application.m_workbooks.size()); }

bool CExcelApplication::SetVisible(bool visible) {
    m_visible = visible;
    if (!visible)
        return true;
    for (; m_shown < m_workbooks.size(); ++m_shown) {
        if (!ShowWorkbook(m_workbooks[m_shown]))
            return false;
    }
    return true;
}

bool CExcelApplication::ShowWorkbook(const CExcelWorkbook& workbook) {
    const std::string path = NewTemporaryWorkbookPath();
    if (path.empty())
        return false;
    if (!CXlsxWriter::Write(workbook.FirstSheet(), path)) {
        QFile::remove(QString::fromStdString(path));
        return false;
    }
    m_writtenFiles.push_back(path);
    return m_opener(path);
}
