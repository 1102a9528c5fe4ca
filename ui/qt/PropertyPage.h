#pragma once
// One page of a CPropertySheetEx. The page's controls are made the first time the sheet
// shows it (CreateControls, then OnInitDialog); a page never shown keeps the values its
// owner copied into its members, and its OnOK is not called.
//
// Page life, driven by the sheet:
//   first showing:   CreateControls, OnInitDialog (loads the controls by data exchange)
//   every showing:   OnSetActive
//   leaving (tab switch or OK while showing): OnKillActive; false keeps the page
//   sheet OK:        OnOK on every page that was shown at least once
//   sheet Cancel:    OnCancel on every page that was shown at least once
#include <QWidget>

#include "platform/CString.h"

class CDataExchange;
class CPropertySheetEx;

class CPropertyPage : public QWidget {
public:
    explicit CPropertyPage(const CString& tabCaption, QWidget* parent = nullptr);
    ~CPropertyPage() override;

    const CString& GetCaption() const { return m_caption; }
    bool IsCreated() const { return m_created; }
    CPropertySheetEx* GetParentSheet() const { return m_sheet; }

    // Moves values between members and controls; false (with the message shown) when a
    // value read from the controls fails its check.
    bool UpdateData(bool saveAndValidate = true);

    // Called by the sheet.
    void EnsureCreated();
    void AttachToSheet(CPropertySheetEx* sheet) { m_sheet = sheet; }

    virtual bool OnSetActive() { return true; }
    // Default: read the controls; a failed check keeps the page.
    virtual bool OnKillActive() { return UpdateData(true); }
    virtual void OnOK() {}
    virtual void OnCancel() {}

protected:
    // Builds the page's widgets; called once, before OnInitDialog.
    virtual void CreateControls() = 0;
    // Default: load the controls from the members.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);

private:
    CString m_caption;
    CPropertySheetEx* m_sheet = nullptr;
    bool m_created = false;
};
