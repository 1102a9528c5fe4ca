#pragma once
// Dialog data exchange: moves values between a page's members and its controls. Loading
// (m_bSaveAndValidate false) fills the controls; saving reads and checks them. The first
// failed check shows the framework's standard message through the message-box hook, puts
// the focus on the control and makes every later exchange of the same pass do nothing, so
// the caller sees one message and a false UpdateData.
#include "platform/CString.h"
#include "platform/OleDateTime.h"

class QWidget;
class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QCheckBox;
class QDateTimeEdit;
class QAbstractButton;

class CDataExchange {
public:
    // A quiet exchange checks without showing messages or moving the focus (for checks the
    // dialog runs on its own while the user types).
    CDataExchange(QWidget* dialog, bool saveAndValidate, bool quiet = false)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog), m_quiet(quiet) {}

    const bool m_bSaveAndValidate;
    QWidget* const m_pDlgWnd;

    bool Failed() const { return m_failed; }
    // The control the next DDV_ check refers to (set by each DDX_ call).
    void PrepareCtrl(QWidget* control) { m_lastControl = control; }
    QWidget* LastControl() const { return m_lastControl; }
    // Shows `message` (exclamation, OK), focuses the last control and marks the pass failed.
    void Fail(const CString& message);

private:
    QWidget* m_lastControl = nullptr;
    bool m_quiet = false;
    bool m_failed = false;
};

// The framework's standard texts.
namespace DataExchangeText {
CString ParseInt();                               // "Please enter an integer."
CString ParseReal();                              // "Please enter a number."
CString IntRange(long long min, long long max);   // "Please enter an integer between 0 and 250000."
CString RealRange(double min, double max);        // "Please enter a number between %g and %g."
CString MaxChars(int count);                      // "Please enter no more than 30 characters."
CString DateTime();                               // "Please enter a valid date and/or time."
CString MoneyDecimals();                          // "Please enter an amount with no more than two decimals."
CString MoneyNotKept(double typed, float kept);   // the amount a float cannot keep to the cent
CString RateNotKept(double typed, float kept);    // the rate a float cannot keep as typed
}   // namespace DataExchangeText

// Text parsing as the framework does it: blanks around the number are allowed, anything
// else is not. An empty text is not a number.
bool ParseDataExchangeInt(const CString& text, int& value);
bool ParseDataExchangeDouble(const CString& text, double& value);
// The framework's text of a float ("%.6g") and of a double ("%.15g").
CString FormatDataExchangeFloat(float value);
CString FormatDataExchangeDouble(double value);
// Money as the editors show it: two decimals, never exponent form ("12345.67", "-5.00").
CString FormatDataExchangeMoney(float value);
// A rate as typed: the shortest fixed-point text that reads back to the float ("0.365", "85").
CString FormatDataExchangeRate(float value);

void DDX_Text(CDataExchange* pDX, QLineEdit* control, CString& value);
void DDX_Text(CDataExchange* pDX, QPlainTextEdit* control, CString& value);
void DDX_Text(CDataExchange* pDX, QComboBox* control, CString& value);   // editable combo text
void DDX_Text(CDataExchange* pDX, QLineEdit* control, int& value);
void DDX_Text(CDataExchange* pDX, QLineEdit* control, float& value);
void DDX_Text(CDataExchange* pDX, QLineEdit* control, double& value);
// Single-precision money and rates. Amounts are kept in floats, which hold every cent only up to
// 131072 and single digits only up to about seven; what the float would change is refused with
// a message instead of being stored changed. Untouched text keeps the value as it is.
void DDX_Money(CDataExchange* pDX, QLineEdit* control, float& value);
void DDX_Rate(CDataExchange* pDX, QLineEdit* control, float& value);
void DDX_Check(CDataExchange* pDX, QCheckBox* control, int& value);
void DDX_CBIndex(CDataExchange* pDX, QComboBox* control, int& index);
void DDX_DateTimeCtrl(CDataExchange* pDX, QDateTimeEdit* control, COleDateTime& value);

// Checks of the value just exchanged. In loading mode DDV_MaxChars limits the control's
// length instead (line edits and editable combos).
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal);
