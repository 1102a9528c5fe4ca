#pragma once
// "Microsoft Excel Settings": the five cell formats the spreadsheet export applies.
#include <functional>

#include "desktop/export/ExcelCellFormats.h"
#include "ui/qt/Dialog.h"

class QLineEdit;

class CDlgExcelSettings : public CDialog {
public:
    using KeepFormats = std::function<void(const ExcelCellFormats&)>;

    // Opens with `formats`; `keep` stores the confirmed ones in the program's settings.
    explicit CDlgExcelSettings(const ExcelCellFormats& formats, KeepFormats keep = {}, QWidget* parent = nullptr);

    // The texts the dialog opens with and, after OK, the ones the user confirmed.
    ExcelCellFormats m_formats;

    // Puts the program's default formats back into the boxes.
    void OnDefaults();
    // Hands the texts to the keeper (which writes them to "ExcelFmts") and closes.
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
    KeepFormats m_keep;
};
