#pragma once
// The Notes page, the last tab of every record sheet: one multi-line box without a limit.
#include "ui/qt/PropertyPage.h"
#include "ui/shared/HasDeviceLook.h"

class QPlainTextEdit;

class CDlgNotes : public CPropertyPage, public CHasDeviceLook {
public:
    explicit CDlgNotes(QWidget* parent = nullptr);

    CString m_strNotes;

    QPlainTextEdit* NotesEdit() const { return m_notes; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* m_notes = nullptr;
};
