#pragma once
// "Export Data": the format, the fields to include, and the export itself. The field choices
// are kept in the registry ("ExportFields") at every Export click, the CSV date choice under
// "CsvUserDates" beside them.
#include "desktop/export/ExportRequest.h"
#include "ui/qt/Dialog.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

class CDlgExport : public CDialog {
public:
    CDlgExport(ExportRequest& request, QWidget* parent = nullptr);

    // Export: keeps the choices, runs the exporter; closes on success, stays on failure
    // (with the failure message unless the user cancelled the file dialog).
    void OnOK() override;
    void OnAdvancedSettings();

    static CString FieldsKey();         // the registry key of "ExportFields"
    static CString CsvUserDatesKey();   // the registry key holding "CsvUserDates"

protected:
    void CreateControls() override;
    bool OnInitDialog() override;

private:
    void OnFormatChanged();
    void ShowEveryField();
    void KeepFieldChoices();
    void ReportFailure();
    void OpenExportedFile();

    ExportRequest& m_request;
    QComboBox* m_format = nullptr;
    QPushButton* m_advanced = nullptr;
    QCheckBox* m_csvUserDates = nullptr;
    QListWidget* m_fields = nullptr;
};

// The Export command: the Export dialog on a request over the entries view's filter, starting
// from the program's cell formats; `keepFormats` keeps those confirmed in Advanced Settings.
void ExportData(const class CProjectItemFilter& filter, QWidget* parent = nullptr,
                const ExcelCellFormats& formats = ExcelCellFormats::Defaults(),
                std::function<void(const ExcelCellFormats&)> keepFormats = {});
