#include "ui/shared/dialogs/DialogLayout.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "biz/DateTimeFormatter.h"
#include "platform/MessageBox.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"

QLabel* MakeBuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QGroupBox* MakeGroup(const QString& title, QWidget* parent, QGridLayout*& grid) {
    auto* group = new QGroupBox(title, parent);
    grid = new QGridLayout(group);
    return group;
}

QLineEdit* MakeDigitsEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QDateTimeEdit* MakeDatePicker(QWidget* parent) {
    auto* picker = new QDateTimeEdit(parent);
    picker->setTimeSpec(Qt::UTC);
    picker->setDisplayFormat(QStringLiteral("ddd, MMM d, yyyy"));
    picker->setCalendarPopup(true);
    return picker;
}

QDateTimeEdit* MakeTimePicker(QWidget* parent) {
    auto* picker = new QDateTimeEdit(parent);
    picker->setTimeSpec(Qt::UTC);
    picker->setDisplayFormat(qtconv::TimePictureToQtFormat(CDateTimeFormatter::GetTimeCtrlFmtNoSeconds()));
    return picker;
}

QPushButton* MakeEllipsisButton(QWidget* parent, const char* objectName) {
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setFixedWidth(28);
    return button;
}

void ReportMissingName(CPropertySheetEx& sheet, CPropertyPage* page, QLineEdit* name, const CString& message) {
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    sheet.SetActivePage(page);
    if (name)
        name->setFocus(Qt::OtherFocusReason);
}
