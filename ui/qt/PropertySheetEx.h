#pragma once
// A tabbed modal sheet of CPropertyPage pages with OK and Cancel (there is no Apply button).
// The sheet does not own its pages: they are usually members or locals of the code that
// builds the sheet and reads their values after DoModal. Pages may outlive the sheet or
// be destroyed before it.
#include <functional>
#include <utility>
#include <vector>
#include <QDialog>
#include <QPointer>

#include "platform/CString.h"

class CPropertyPage;
class QTabBar;
class QStackedWidget;
class QPushButton;

class CPropertySheetEx : public QDialog {
public:
    explicit CPropertySheetEx(const CString& caption, QWidget* parent = nullptr);
    ~CPropertySheetEx() override;

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetActiveIndex() const { return m_activeIndex; }
    CPropertyPage* GetActivePage() const { return GetPage(m_activeIndex); }

    // Shows the sheet through the modal-dialog hook with the first page active.
    // IDOK when it closed with OK, IDCANCEL otherwise.
    int DoModal();

    // What a tab click does: the current page's kill-active may keep it (false).
    bool SetActivePage(int index);
    bool SetActivePage(CPropertyPage* page);
    // The next (1) or previous (-1) page, wrapping round, as Ctrl+Tab and Ctrl+Shift+Tab do.
    void StepPage(int step);
    // What the OK button does: kill-active on the showing page, then OnOK on every page
    // that was shown, then the OK check; true when the sheet closed.
    bool PressOK();
    // Runs when OK has read every page; false keeps the sheet open with what was typed (a name
    // still missing, a save that failed and was reported).
    void SetOkCheck(std::function<bool()> check) { m_okCheck = std::move(check); }
    void PressCancel();

    QPushButton* OkButton() const { return m_okButton; }
    QPushButton* CancelButton() const { return m_cancelButton; }

    // Escape and the window's close button end the sheet as Cancel does.
    void reject() override;

private:
    void OnTabChanged(int index);
    void ActivatePage(int index);

    std::vector<QPointer<CPropertyPage>> m_pages;
    QTabBar* m_tabBar = nullptr;
    QStackedWidget* m_stack = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    int m_activeIndex = -1;
    bool m_changingTab = false;
    std::function<bool()> m_okCheck;
};
