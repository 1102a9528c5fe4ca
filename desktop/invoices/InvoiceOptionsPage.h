#pragma once
// Invoice page of the Options sheet: the name and address printed on the user's invoices, the
// payment terms, the unit mileage is counted in, the usual tax rate and the days until due.
#include "desktop/invoices/InvoiceSettings.h"
#include "ui/qt/PropertyPage.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

class CInvoiceOptionsPage : public CPropertyPage {
public:
    explicit CInvoiceOptionsPage(QWidget* parent = nullptr);

    CInvoiceSettings m_settings;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* m_name = nullptr;
    QPlainTextEdit* m_address = nullptr;
    QPlainTextEdit* m_terms = nullptr;
    QComboBox* m_unit = nullptr;
    QLineEdit* m_taxRate = nullptr;
    QLineEdit* m_dueDays = nullptr;
};
