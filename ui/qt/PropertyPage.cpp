#include "ui/qt/PropertyPage.h"

#include "ui/qt/DataExchange.h"

CPropertyPage::CPropertyPage(const CString& tabCaption, QWidget* parent) : QWidget(parent), m_caption(tabCaption) {}

CPropertyPage::~CPropertyPage() = default;

bool CPropertyPage::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

void CPropertyPage::EnsureCreated() {
    if (m_created)
        return;
    m_created = true;
    CreateControls();
    OnInitDialog();
}

bool CPropertyPage::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CPropertyPage::DoDataExchange(CDataExchange*) {}
