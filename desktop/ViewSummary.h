#pragma once
// The quick summary window: a two-column report of the entries the entries view lists,
// laid out by the summary data. It computes nothing itself.
#include <QWidget>

class CListCtrlEx;
class CSummaryData;

class CViewSummary : public QWidget {
    Q_OBJECT
public:
    explicit CViewSummary(QWidget* parent = nullptr);

    // Fonts, the summary's columns and fixed rows.
    void OnInitialUpdate(const QFont& uiFont);
    void Display(const CSummaryData& data);
    CListCtrlEx* GetListCtrl() const { return m_list; }

private:
    CListCtrlEx* m_list;
};
