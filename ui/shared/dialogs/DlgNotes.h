#pragma once
// The Notes page, the last tab of every record sheet: one multi-line box without a limit.
#include "ui/qt/PropertyPage.h"

class QPlainTextEdit;

class CDlgNotes : public CPropertyPage {
public:
    explicit CDlgNotes(QWidget* parent = nullptr);

    CString m_strNotes;

    QPlainTextEdit* NotesEdit() const { return m_notes; }

protected:
    void CreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* m_notes = nullptr;
};
