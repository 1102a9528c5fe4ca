#pragma once
// "Microsoft Excel Settings": the five cell formats the spreadsheet export applies.
#include "desktop/export/DataExporter.h"
#include "ui/qt/Dialog.h"

class QLineEdit;

class CDlgExcelSettings : public CDialog {
public:
    explicit CDlgExcelSettings(QWidget* parent = nullptr);

    // The texts the dialog opens with and, after OK, the ones the user confirmed.
    ExcelCellFormats m_formats;

    // Puts the program's default formats back into the boxes.
    void OnDefaults();
    // Stores the texts in the application's settings and writes them to "ExcelFmts".
    void OnOK() override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* AddFormatBox(const char* label, const char* objectName, int row, class QGridLayout* grid);

    QLineEdit* m_currency = nullptr;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_time = nullptr;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_duration = nullptr;
};
