#include "ui/qt/DataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/MessageBox.h"
#include "ui/qt/QtConvert.h"

void CDataExchange::Fail(const CString& message) {
    if (m_failed)
        return;
    m_failed = true;
    if (m_quiet)
        return;
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    if (m_lastControl == nullptr)
        return;
    m_lastControl->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(m_lastControl))
        edit->selectAll();
}

namespace DataExchangeText {
CString ParseInt() { return u"Please enter an integer."; }
CString ParseReal() { return u"Please enter a number."; }
CString IntRange(long long min, long long max) {
    CString text;
    text.Format("Please enter an integer between %lld and %lld.", min, max);
    return text;
}
CString RealRange(double min, double max) {
    CString text;
    text.Format("Please enter a number between %.6g and %.6g.", min, max);
    return text;
}
CString MaxChars(int count) {
    CString text;
    text.Format("Please enter no more than %d characters.", count);
    return text;
}
CString DateTime() { return u"Please enter a valid date and/or time."; }
CString MoneyDecimals() { return u"Please enter an amount with no more than two decimals."; }
CString MoneyNotKept(double typed, float kept) {
    CString text;
    text.Format(
        "The amount %.2f cannot be stored to the cent; the nearest amount that can be stored is %.2f. "
        "Every amount below 131072.00 is stored exactly.",
        typed, static_cast<double>(kept));
    return text;
}
CString RateNotKept(double typed, float kept) {
    return CString(u"The rate ") + FormatDataExchangeDouble(typed) +
           u" has more digits than can be stored; the nearest rate that can be stored is " +
           FormatDataExchangeRate(kept) + u".";
}
}   // namespace DataExchangeText

namespace {
bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

// The number's text with its surrounding blanks removed; false when it holds non-ASCII.
bool ToTrimmedAscii(const CString& text, std::string& out) {
    out.clear();
    for (char16_t ch : text.str()) {
        if (ch > 0x7F)
            return false;
        out.push_back(static_cast<char>(ch));
    }
    size_t first = 0;
    while (first < out.size() && IsBlank(out[first]))
        ++first;
    size_t last = out.size();
    while (last > first && IsBlank(out[last - 1]))
        --last;
    out = out.substr(first, last - first);
    return !out.empty();
}
}   // namespace

bool ParseDataExchangeInt(const CString& text, int& value) {
    std::string ascii;
    if (!ToTrimmedAscii(text, ascii))
        return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(ascii.c_str(), &end, 10);
    if (end == ascii.c_str() || *end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseDataExchangeDouble(const CString& text, double& value) {
    std::string ascii;
    if (!ToTrimmedAscii(text, ascii))
        return false;
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(ascii.c_str(), &end);
    if (end == ascii.c_str() || *end != '\0' || errno == ERANGE)
        return false;
    value = parsed;
    return true;
}

CString FormatDataExchangeFloat(float value) {
    CString text;
    text.Format("%.6g", static_cast<double>(value));
    return text;
}

CString FormatDataExchangeMoney(float value) {
    CString text;
    text.Format("%.2f", static_cast<double>(value));
    return text;
}

CString FormatDataExchangeRate(float value) {
    char text[64];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return FormatDataExchangeFloat(value);
    return CString::FromUtf8(std::string(text, result.ptr));
}

CString FormatDataExchangeDouble(double value) {
    CString text;
    text.Format("%.15g", value);
    return text;
}

void DDX_Text(CDataExchange* pDX, QLineEdit* control, CString& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (pDX->m_bSaveAndValidate)
        value = qtconv::FromQString(control->text());
    else
        control->setText(qtconv::ToQString(value));
}

void DDX_Text(CDataExchange* pDX, QPlainTextEdit* control, CString& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (pDX->m_bSaveAndValidate)
        value = qtconv::FromQString(control->toPlainText());
    else
        control->setPlainText(qtconv::ToQString(value));
}

void DDX_Text(CDataExchange* pDX, QComboBox* control, CString& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (pDX->m_bSaveAndValidate) {
        value = qtconv::FromQString(control->currentText());
        return;
    }
    const int index = control->findText(qtconv::ToQString(value), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index >= 0) {
        control->setCurrentIndex(index);
        return;
    }
    // A text the list does not hold: no list item is chosen; an editable box shows the text.
    control->setCurrentIndex(-1);
    if (control->isEditable())
        control->setEditText(qtconv::ToQString(value));
}

void DDX_Text(CDataExchange* pDX, QLineEdit* control, int& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (!pDX->m_bSaveAndValidate) {
        control->setText(QString::number(value));
        return;
    }
    int parsed = 0;
    if (!ParseDataExchangeInt(qtconv::FromQString(control->text()), parsed)) {
        pDX->Fail(DataExchangeText::ParseInt());
        return;
    }
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, QLineEdit* control, double& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (!pDX->m_bSaveAndValidate) {
        control->setText(qtconv::ToQString(FormatDataExchangeDouble(value)));
        return;
    }
    // Untouched text keeps the value exactly, digits beyond the shown ones included.
    if (qtconv::FromQString(control->text()).Trim() == FormatDataExchangeDouble(value))
        return;
    double parsed = 0;
    if (!ParseDataExchangeDouble(qtconv::FromQString(control->text()), parsed)) {
        pDX->Fail(DataExchangeText::ParseReal());
        return;
    }
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, QLineEdit* control, float& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (!pDX->m_bSaveAndValidate) {
        control->setText(qtconv::ToQString(FormatDataExchangeFloat(value)));
        return;
    }
    // Untouched text keeps the value exactly, digits beyond the shown ones included.
    if (qtconv::FromQString(control->text()).Trim() == FormatDataExchangeFloat(value))
        return;
    double parsed = 0;
    if (!ParseDataExchangeDouble(qtconv::FromQString(control->text()), parsed) || parsed > 3.402823466e+38 ||
        parsed < -3.402823466e+38) {
        pDX->Fail(DataExchangeText::ParseReal());
        return;
    }
    value = static_cast<float>(parsed);
}

namespace {
constexpr double kFloatMax = 3.402823466e+38;

// The typed number, or a failed pass; nullopt too when the text is untouched.
std::optional<double> ReadTypedNumber(CDataExchange* pDX, QLineEdit* control, const CString& shown) {
    const CString typed = qtconv::FromQString(control->text());
    if (CString(typed).Trim() == shown)
        return std::nullopt;
    double parsed = 0;
    if (!ParseDataExchangeDouble(typed, parsed) || parsed > kFloatMax || parsed < -kFloatMax) {
        pDX->Fail(DataExchangeText::ParseReal());
        return std::nullopt;
    }
    return parsed;
}

long long CentsOfText(const CString& text) {
    return std::llround(std::strtod(text.ToUtf8().c_str(), nullptr) * 100.0);
}
}   // namespace

void DDX_Money(CDataExchange* pDX, QLineEdit* control, float& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (!pDX->m_bSaveAndValidate) {
        control->setText(qtconv::ToQString(FormatDataExchangeMoney(value)));
        return;
    }
    const std::optional<double> typed = ReadTypedNumber(pDX, control, FormatDataExchangeMoney(value));
    if (!typed)
        return;
    const double cents = *typed * 100.0;
    if (std::fabs(cents - std::nearbyint(cents)) > 1e-6 * std::max(1.0, std::fabs(cents))) {
        pDX->Fail(DataExchangeText::MoneyDecimals());
        return;
    }
    const float kept = static_cast<float>(*typed);
    if (CentsOfText(FormatDataExchangeMoney(kept)) != std::llround(cents)) {
        pDX->Fail(DataExchangeText::MoneyNotKept(*typed, kept));
        return;
    }
    value = kept;
}

void DDX_Rate(CDataExchange* pDX, QLineEdit* control, float& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (!pDX->m_bSaveAndValidate) {
        control->setText(qtconv::ToQString(FormatDataExchangeRate(value)));
        return;
    }
    const std::optional<double> typed = ReadTypedNumber(pDX, control, FormatDataExchangeRate(value));
    if (!typed)
        return;
    const float kept = static_cast<float>(*typed);
    double keptAsTyped = 0;
    if (!ParseDataExchangeDouble(FormatDataExchangeRate(kept), keptAsTyped) || keptAsTyped != *typed) {
        pDX->Fail(DataExchangeText::RateNotKept(*typed, kept));
        return;
    }
    value = kept;
}

void DDX_Check(CDataExchange* pDX, QCheckBox* control, int& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (pDX->m_bSaveAndValidate)
        value = control->isChecked() ? 1 : 0;
    else
        control->setChecked(value != 0);
}

void DDX_CBIndex(CDataExchange* pDX, QComboBox* control, int& index) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    if (pDX->m_bSaveAndValidate)
        index = control->currentIndex();
    else
        control->setCurrentIndex(index >= 0 && index < control->count() ? index : -1);
}

void DDX_DateTimeCtrl(CDataExchange* pDX, QDateTimeEdit* control, COleDateTime& value) {
    if (pDX->Failed())
        return;
    pDX->PrepareCtrl(control);
    control->setTimeSpec(Qt::UTC);
    if (!pDX->m_bSaveAndValidate) {
        const QDateTime shown = qtconv::ToQDateTime(value);
        if (shown.isValid())
            control->setDateTime(shown);
        return;
    }
    // Untouched controls keep the value exactly (the control holds whole seconds only).
    if (value.GetStatus() == COleDateTime::valid && qtconv::ToQDateTime(value) == control->dateTime())
        return;
    const COleDateTime read = qtconv::ToOleDateTime(control->dateTime());
    if (read.GetStatus() != COleDateTime::valid) {
        pDX->Fail(DataExchangeText::DateTime());
        return;
    }
    value = read;
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars) {
    if (pDX->Failed())
        return;
    if (!pDX->m_bSaveAndValidate) {
        if (auto* edit = qobject_cast<QLineEdit*>(pDX->LastControl()))
            edit->setMaxLength(maxChars);
        else if (auto* combo = qobject_cast<QComboBox*>(pDX->LastControl()); combo && combo->lineEdit())
            combo->lineEdit()->setMaxLength(maxChars);
        return;
    }
    if (value.GetLength() > maxChars)
        pDX->Fail(DataExchangeText::MaxChars(maxChars));
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    if (value < minVal || value > maxVal)
        pDX->Fail(DataExchangeText::IntRange(minVal, maxVal));
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal) {
    DDV_MinMaxDouble(pDX, value, minVal, maxVal);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal) {
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    if (value < minVal || value > maxVal)
        pDX->Fail(DataExchangeText::RealRange(minVal, maxVal));
}
