#include "ui/qt/PropertySheetEx.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "platform/MessageBox.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/PropertyPage.h"
#include "ui/qt/QtConvert.h"

CPropertySheetEx::CPropertySheetEx(const CString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(qtconv::ToQString(caption));
    m_tabBar = new QTabBar(this);
    m_tabBar->setObjectName(QStringLiteral("sheetTabs"));
    m_tabBar->setExpanding(false);
    m_stack = new QStackedWidget(this);
    m_okButton = new QPushButton(tr("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabBar);
    layout->addWidget(m_stack, 1);
    layout->addLayout(buttons);

    setMinimumWidth(400);
    connect(m_tabBar, &QTabBar::currentChanged, this, &CPropertySheetEx::OnTabChanged);
    // Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and Ctrl+PgUp to the previous.
    for (const char* key : {"Ctrl+Tab", "Ctrl+PgDown"})
        connect(new QShortcut(QKeySequence(QString::fromLatin1(key)), this), &QShortcut::activated, this,
                [this] { StepPage(1); });
    for (const char* key : {"Ctrl+Shift+Tab", "Ctrl+Shift+Backtab", "Ctrl+PgUp"})
        connect(new QShortcut(QKeySequence(QString::fromLatin1(key)), this), &QShortcut::activated, this,
                [this] { StepPage(-1); });
    connect(m_okButton, &QPushButton::clicked, this, [this] { PressOK(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { PressCancel(); });
}

CPropertySheetEx::~CPropertySheetEx() {
    // The pages belong to whoever built the sheet; take them out so Qt does not delete them.
    for (const QPointer<CPropertyPage>& page : m_pages) {
        if (page) {
            m_stack->removeWidget(page);
            page->setParent(nullptr);
            page->AttachToSheet(nullptr);
        }
    }
}

void CPropertySheetEx::AddPage(CPropertyPage* page) {
    if (page == nullptr)
        return;
    page->AttachToSheet(this);
    m_pages.emplace_back(page);
    m_stack->addWidget(page);
    m_changingTab = true;
    m_tabBar->addTab(qtconv::ToQString(page->GetCaption()));
    m_changingTab = false;
}

CPropertyPage* CPropertySheetEx::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<size_t>(index)].data();
}

int CPropertySheetEx::DoModal() {
    m_activeIndex = -1;
    if (GetPageCount() > 0)
        ActivatePage(0);
    const int result = RunModal(*this);
    return result == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CPropertySheetEx::ActivatePage(int index) {
    CPropertyPage* page = GetPage(index);
    if (page == nullptr)
        return;
    m_activeIndex = index;
    // Controls made while the page is hidden show with it; made on a showing page they would not.
    page->EnsureCreated();
    m_changingTab = true;
    m_tabBar->setCurrentIndex(index);
    m_stack->setCurrentWidget(page);
    m_changingTab = false;
    // Typing goes to the page's first field, not to the tab strip (the page may choose another).
    FocusFirstField(*page);
    page->OnSetActive();
}

void CPropertySheetEx::StepPage(int step) {
    const int count = GetPageCount();
    if (count > 1)
        SetActivePage((m_activeIndex + step + count) % count);
}

bool CPropertySheetEx::SetActivePage(int index) {
    if (GetPage(index) == nullptr)
        return false;
    if (index == m_activeIndex)
        return true;
    if (CPropertyPage* current = GetActivePage(); current && !current->OnKillActive()) {
        m_changingTab = true;
        m_tabBar->setCurrentIndex(m_activeIndex);
        m_changingTab = false;
        return false;
    }
    ActivatePage(index);
    return true;
}

bool CPropertySheetEx::SetActivePage(CPropertyPage* page) {
    for (int i = 0; i < GetPageCount(); ++i)
        if (GetPage(i) == page)
            return SetActivePage(i);
    return false;
}

void CPropertySheetEx::OnTabChanged(int index) {
    if (!m_changingTab)
        SetActivePage(index);
}

bool CPropertySheetEx::PressOK() {
    if (CPropertyPage* current = GetActivePage(); current && !current->OnKillActive())
        return false;
    for (const QPointer<CPropertyPage>& page : m_pages)
        if (page && page->IsCreated())
            page->OnOK();
    if (m_okCheck && !m_okCheck())
        return false;
    accept();
    return true;
}

void CPropertySheetEx::PressCancel() {
    for (const QPointer<CPropertyPage>& page : m_pages)
        if (page && page->IsCreated())
            page->OnCancel();
    QDialog::reject();
}

void CPropertySheetEx::reject() {
    // Escape and the window's close button end the sheet as Cancel does.
    PressCancel();
}
