#pragma once
// Small builders the dialogs share, so every dialog is laid out the same way in code.
#include <QString>

#include "platform/CString.h"

class QWidget;
class QLabel;
class QLineEdit;
class QGroupBox;
class QGridLayout;
class QDateTimeEdit;
class QPushButton;
class CPropertySheetEx;
class CPropertyPage;

// A label whose mnemonic ("&Name:") moves the focus to `buddy`.
QLabel* MakeBuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);
// A group box with a grid layout inside; the grid is returned through `grid`.
QGroupBox* MakeGroup(const QString& title, QWidget* parent, QGridLayout*& grid);
// A line edit that takes digits only.
QLineEdit* MakeDigitsEdit(QWidget* parent);
// A date picker showing "ddd, MMM d, yyyy" with a calendar drop-down.
QDateTimeEdit* MakeDatePicker(QWidget* parent);
// A time picker showing the user's time picture without seconds.
QDateTimeEdit* MakeTimePicker(QWidget* parent);
// The small "..." button beside a field.
QPushButton* MakeEllipsisButton(QWidget* parent, const char* objectName);
// A record sheet confirmed without the name it needs: says so, and shows the page with the
// name box focused; the sheet stays open with everything typed.
void ReportMissingName(CPropertySheetEx& sheet, CPropertyPage* page, QLineEdit* name, const CString& message);
// Sets the object name (for tests and accessibility) and returns the widget.
template <typename W>
W* Named(W* widget, const char* objectName) {
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}
