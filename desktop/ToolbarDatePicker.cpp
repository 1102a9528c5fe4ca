#include "desktop/ToolbarDatePicker.h"

#include <QCalendarWidget>
#include <QKeyEvent>

CToolbarDatePicker::CToolbarDatePicker(QWidget* parent) : QDateEdit(parent) {
    connect(this, &QDateEdit::dateChanged, this, &CToolbarDatePicker::OnDateChanged);
    connect(this, &QAbstractSpinBox::editingFinished, this, &CToolbarDatePicker::ReportIfChanged);
}

void CToolbarDatePicker::SetDateQuietly(const QDate& date) {
    const QSignalBlocker blocker(this);
    setDate(date);
    m_reported = QDateEdit::date();
    m_typedInSection = 0;
}

void CToolbarDatePicker::SetFirstDayOfWeek(int firstDayOfWeek) {
    // 1 Sunday ... 7 Saturday; Qt counts 1 Monday ... 7 Sunday.
    const int qtDay = (firstDayOfWeek + 5) % 7 + 1;
    if (QCalendarWidget* calendar = calendarWidget())
        calendar->setFirstDayOfWeek(static_cast<Qt::DayOfWeek>(qtDay));
}

void CToolbarDatePicker::OnDateChanged() {
    // The calendar and the arrows give whole dates; typed digits wait until the date is whole.
    if (!m_typing)
        ReportIfChanged();
}

void CToolbarDatePicker::ReportIfChanged() {
    if (date() == m_reported)
        return;
    m_reported = date();
    emit datePicked();
}

void CToolbarDatePicker::stepBy(int steps) {
    const bool typing = m_typing;
    m_typing = false;
    QDateEdit::stepBy(steps);
    m_typing = typing;
    ReportIfChanged();
}

bool CToolbarDatePicker::SectionComplete() const {
    // A key that leaves no room for another moves to the next section by itself; otherwise a
    // section is complete once it holds as many characters as it can (four for the year).
    return m_typedInSection >= (currentSection() == YearSection ? 4 : 2);
}

void CToolbarDatePicker::keyPressEvent(QKeyEvent* event) {
    const bool text = !event->text().isEmpty() && event->text().at(0).isPrint();
    const bool editing = text || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
    const int section = currentSectionIndex();
    if (section != m_countedSection) {   // the cursor moved (by mouse or by code) since the last key
        m_countedSection = section;
        m_typedInSection = 0;
    }
    if (!editing) {
        QDateEdit::keyPressEvent(event);
        m_typedInSection = 0;
        ReportIfChanged();   // Enter, Tab, arrows: whatever was typed is finished
        return;
    }
    m_typing = true;
    QDateEdit::keyPressEvent(event);
    m_typing = false;
    if (currentSectionIndex() != section) {
        m_typedInSection = 0;
        ReportIfChanged();
        return;
    }
    m_typedInSection = text ? m_typedInSection + 1 : 0;
    if (SectionComplete())
        ReportIfChanged();
}

void CToolbarDatePicker::focusOutEvent(QFocusEvent* event) {
    QDateEdit::focusOutEvent(event);
    m_typedInSection = 0;
    ReportIfChanged();
}
