#pragma once
// A modal dialog with the class-library life: controls made on DoModal (CreateControls,
// then OnInitDialog, which loads them by data exchange), OnOK reading and checking them
// before the dialog closes, and DoModal running through the modal-dialog hook.
#include <QDialog>

#include "platform/CString.h"

class CDataExchange;
class QPushButton;
class QBoxLayout;

class CDialog : public QDialog {
public:
    explicit CDialog(const CString& caption, QWidget* parent = nullptr);
    ~CDialog() override;

    // IDOK when the dialog closed with OK, IDCANCEL otherwise.
    int DoModal();
    bool UpdateData(bool saveAndValidate = true);
    // Reads and checks the controls without any message; false when a check fails.
    bool ValidateQuietly();

    // What the OK and Cancel buttons do.
    virtual void OnOK();
    virtual void OnCancel();
    // Enter and Escape (and QDialog's own accept/reject) go through OnOK / OnCancel.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

    // Set by AddOkCancelButtons.
    QPushButton* OkButton() const { return m_okButton; }
    QPushButton* CancelButton() const { return m_cancelButton; }

protected:
    virtual void CreateControls() = 0;
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    // Closes with OK without running OnOK again.
    void EndDialogOK() { QDialog::accept(); }
    void EndDialogCancel() { QDialog::reject(); }
    // An OK / Cancel row for the bottom of the dialog's layout.
    QBoxLayout* AddOkCancelButtons();

private:
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    bool m_created = false;
};
