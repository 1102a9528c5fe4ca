#include "ui/shared/dialogs/FloatSpinButtonCtrl.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/Locale.h"
#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"

namespace {
// Trailing zeros of the digits after the decimal point, then the point itself.
std::u16string TrimFraction(std::u16string text, char16_t point) {
    if (text.find(point) == std::u16string::npos)
        return text;
    while (!text.empty() && text.back() == u'0')
        text.pop_back();
    if (!text.empty() && text.back() == point)
        text.pop_back();
    return text;
}

// Digits after the decimal point of a number's text, up to the first that is not a digit.
int DecimalsIn(const CString& text, char16_t point) {
    const int at = text.Find(point);
    if (at < 0)
        return 0;
    int count = 0;
    for (int i = at + 1; i < text.GetLength() && text.GetAt(i) >= u'0' && text.GetAt(i) <= u'9'; ++i)
        ++count;
    return count;
}

// A float holds about seven significant digits; more decimals only show its noise.
constexpr int kMaxTypedDecimals = 7;
}   // namespace

CFloatSpinButtonCtrl::CFloatSpinButtonCtrl(QWidget* parent) : CSpinButtonCtrl(parent) {
    const CString& point = Locale::UserDefault().decimalPoint;
    if (point.GetLength() == 1)
        m_decimalSymbol = point.GetAt(0);
    SetRange32(0, m_positions);
}

void CFloatSpinButtonCtrl::SetRangeAndDelta(double minVal, double maxVal, double delta) {
    m_minVal = minVal;
    m_maxVal = maxVal;
    m_delta = delta;
    if (m_delta != 0.0) {
        const double positions = std::fabs((m_maxVal - m_minVal) / m_delta);
        m_positions = positions >= kMaxPositions ? kMaxPositions : static_cast<int>(positions);
        SetRange32(0, m_positions);
    }
    SetIntPosFor(GetPos());
}

void CFloatSpinButtonCtrl::GetRangeAndDelta(double& minVal, double& maxVal, double& delta) const {
    minVal = m_minVal;
    maxVal = m_maxVal;
    delta = m_delta;
}

double CFloatSpinButtonCtrl::GetPos() const {
    if (GetBuddy() == nullptr)
        return 0.0;
    const CString shown = qtconv::FromQString(GetBuddy()->text());
    std::string text;
    for (char16_t ch : shown.str()) {
        if (ch == m_decimalSymbol)
            text.push_back('.');
        else if (ch < 0x80)
            text.push_back(static_cast<char>(ch));
        else
            break;   // nothing past a non-ASCII character can continue a number
    }
    return std::strtod(text.c_str(), nullptr);
}

void CFloatSpinButtonCtrl::SetPos(double value) {
    if (GetBuddy())
        GetBuddy()->setText(qtconv::ToQString(FormatValue(value)));
    SetIntPosFor(value);
}

int CFloatSpinButtonCtrl::PositionFor(double value) const {
    if (m_maxVal == m_minVal)
        return 0;
    if (value < m_minVal)
        return 0;
    if (value > m_maxVal)
        return m_positions;
    return static_cast<int>(std::lround((value - m_minVal) / (m_maxVal - m_minVal) * m_positions));
}

void CFloatSpinButtonCtrl::SetIntPosFor(double value) {
    if (m_maxVal != m_minVal)
        SetPos32(PositionFor(value));
}

CString CFloatSpinButtonCtrl::FormatValue(double value) const { return FormatWithDecimals(value, m_numDecimals); }

CString CFloatSpinButtonCtrl::FormatWithDecimals(double value, int decimals) const {
    CString text;
    if (!m_format.IsEmpty()) {
        text.Format(m_format.GetString(), value);
    } else {
        // Fixed-point whatever the size: "5000000.00", never "5.00e+06".
        CString format;
        format.Format("%%.%df", decimals);
        text.Format(format.GetString(), value);
    }
    if (m_decimalSymbol != u'.')
        text.Replace(u'.', m_decimalSymbol);
    if (!m_trimTrailingZeros)
        return text;
    const int e = text.Find(u'e');
    if (e < 0)
        return CString(TrimFraction(text.str(), m_decimalSymbol));
    return CString(TrimFraction(text.Left(e).str(), m_decimalSymbol)) + text.Mid(e);
}

int CFloatSpinButtonCtrl::DecimalsForStep() const {
    if (!m_keepTypedDecimals)
        return m_numDecimals;
    int decimals = DecimalsIn(FormatDataExchangeDouble(std::fabs(m_delta)), u'.');
    if (GetBuddy())
        decimals = std::max(decimals, DecimalsIn(qtconv::FromQString(GetBuddy()->text()), m_decimalSymbol));
    return std::min(decimals, kMaxTypedDecimals);
}

double CFloatSpinButtonCtrl::SteppedValue(double current, int positions) const {
    if ((positions > 0 && current > m_maxVal) || (positions < 0 && current < m_minVal))
        return current;
    double next = current + positions * m_delta;
    if (positions < 0) {
        const double tolerance = std::max(std::fabs(std::max(next, m_minVal)) * 1e-9, 1e-9);
        if (m_minVal - next > tolerance)
            next = GetWrap() ? m_maxVal : m_minVal;
    } else {
        const double tolerance = std::max(std::fabs(std::max(next, m_maxVal)) * 1e-9, 1e-9);
        if (next - m_maxVal > tolerance)
            next = GetWrap() ? m_minVal : m_maxVal;
    }
    return next;
}

void CFloatSpinButtonCtrl::OnDeltaPos(int delta) {
    const double value = SteppedValue(GetPos(), delta);
    if (GetBuddy())
        GetBuddy()->setText(qtconv::ToQString(FormatWithDecimals(value, DecimalsForStep())));
    SetIntPosFor(value);
}
