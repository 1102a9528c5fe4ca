#pragma once
// View > Reports: a window beside the main window with a report over a period and the entries
// view's filter: the period and the two groupings chosen at the top, the table of groups and
// totals on the left, the bar chart and the hours line on the right. It prints and saves as PDF
// and CSV; file and print dialogs go through the modal-dialog hook.
// The period is a ready-made one ("This month"...) around today as the clock has it, or the
// dates typed (Custom); the choice is kept in the settings for the next time the window opens,
// as are the groupings, the chart's measure and the line's step.
#include <memory>
#include <QWidget>

#include "biz/ProjectItemFilter.h"
#include "biz/Report.h"
#include "desktop/reports/ReportCharts.h"

class QChart;
class QChartView;
class QComboBox;
class QDateEdit;
class QSplitter;
class QTreeWidget;

class CReportWindow : public QWidget {
    Q_OBJECT
public:
    // `filter` is the entries view's, its dates the period shown first.
    CReportWindow(const CProjectItemFilter& filter, int firstDayOfWeek, QWidget* parent = nullptr);
    ~CReportWindow() override;

    // The view's filter again (the window was opened once more); its period too while the
    // period chosen is Custom.
    void SetFilter(const CProjectItemFilter& filter);
    // The user's first day of the week changed: weeks are rebuilt from it.
    void SetFirstDayOfWeek(int firstDayOfWeek);
    // Builds the report again from the data store and the choices.
    void Rebuild();

    // File > Print and the Print button: the print dialog, then the pages. False when nothing
    // was printed (cancelled or failed; a failure is told).
    bool Print();
    // Save as PDF / CSV: the file dialog, then the file; false when nothing was written
    // (cancelled, or failed and told).
    bool SavePdf();
    bool SaveCsv();

    const CReport& Report() const { return *m_report; }
    QTreeWidget* Table() const { return m_tree; }
    QChart* BarChart() const;
    QChart* LineChart() const;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    QWidget* CreateChoices();
    QWidget* CreateButtons();
    void FillGroupings();
    void FillPresets();
    // The groupings, measure and step chosen last; those no longer offered are left as they are.
    void RestoreChoices();
    // A grouping, measure or step chosen: kept, and the report built again.
    void OnChoiceMade();
    // Puts the chosen preset's dates into the date boxes; false for Custom.
    bool ApplyPreset();
    void OnPresetChosen();
    void OnDateEdited();
    void ShowCharts();
    // Widens the table's side of the window until its figures show whole, leaving the charts room.
    void FitTable();
    CReport::Request MakeRequest() const;
    // The file to write, through the modal-dialog hook; empty when cancelled.
    QString ChooseFile(const QString& suffix, const QString& nameFilter);

    CProjectItemFilter m_filter;
    int m_firstDayOfWeek;
    std::unique_ptr<CReport> m_report;
    QComboBox* m_preset = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QComboBox* m_groupBy = nullptr;
    QComboBox* m_thenBy = nullptr;
    QComboBox* m_measure = nullptr;
    QComboBox* m_step = nullptr;
    QTreeWidget* m_tree = nullptr;
    QChartView* m_barView = nullptr;
    QChartView* m_lineView = nullptr;
    QSplitter* m_split = nullptr;
    bool m_filling = false;
};
