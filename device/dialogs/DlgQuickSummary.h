#pragma once
// The Quick Summary dialog: one report list below the drawn title, filled from a summary.
#include "ui/qt/Dialog.h"

class CListCtrlEx;
class CSummaryData;

class CDlgQuickSummary : public CDialog {
public:
    // The summary must outlive the dialog.
    explicit CDlgQuickSummary(const CSummaryData& summary, QWidget* parent = nullptr);

    CListCtrlEx* List() const { return m_list; }

protected:
    void CreateControls() override;
    bool OnInitDialog() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const CSummaryData& m_summary;
    CListCtrlEx* m_list = nullptr;
};
