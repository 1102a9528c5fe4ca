#pragma once
// The date picker of the Custom Views toolbar. It reports a date only when it is complete:
// picked from the calendar, stepped with the arrows or the wheel, or typed and then finished
// (a section filled or left, Enter, or the field left). Typing "20" into the day therefore
// does not pass through the 2nd.
#include <QDate>
#include <QDateEdit>

class CToolbarDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit CToolbarDatePicker(QWidget* parent = nullptr);

    // Sets the date without reporting it.
    void SetDateQuietly(const QDate& date);
    // 1 Sunday ... 7 Saturday, as the "FirstDayOfWeek" setting counts.
    void SetFirstDayOfWeek(int firstDayOfWeek);

    void stepBy(int steps) override;

signals:
    void datePicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void OnDateChanged();
    void ReportIfChanged();
    bool SectionComplete() const;

    QDate m_reported;
    bool m_typing = false;
    int m_countedSection = -1;
    int m_typedInSection = 0;   // characters typed since the cursor came to that section
};
