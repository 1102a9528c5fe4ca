#pragma once
// An up-down control that steps a decimal amount held as text in its buddy edit. The
// underlying integer positions only mirror where the value stands in the range; the value
// itself lives in the edit box and every arrow step adds a multiple of the step to it.
#include "platform/CString.h"
#include "ui/qt/SpinButtonCtrl.h"

class CFloatSpinButtonCtrl : public CSpinButtonCtrl {
public:
    static constexpr int kMaxPositions = 32767;

    explicit CFloatSpinButtonCtrl(QWidget* parent = nullptr);

    // Stores the range and step; the positions become |(max - min) / step| capped at 32767
    // (unchanged when the step is 0) and the control is positioned on the shown value.
    void SetRangeAndDelta(double minVal, double maxVal, double delta);
    void GetRangeAndDelta(double& minVal, double& maxVal, double& delta) const;
    int GetPositionCount() const { return m_positions; }

    void SetDecimalPlaces(int decimals) { m_numDecimals = decimals; }
    int GetDecimalPlaces() const { return m_numDecimals; }
    // A printf format with one double conversion; empty to use the decimals.
    void SetFormatString(const CString& format) { m_format = format; }
    void SetTrimTrailingZeros(bool trim) { m_trimTrailingZeros = trim; }
    // Rates: an arrow step shows as many decimals as the box held (and the step needs), so
    // "0.365" steps to "0.375" and "85" to "86" instead of switching to the fixed decimals.
    void SetKeepTypedDecimals(bool keep) { m_keepTypedDecimals = keep; }
    void SetDecimalSymbol(char16_t symbol) { m_decimalSymbol = symbol; }

    // The buddy's number: read up to the first character that cannot continue a number;
    // an empty box reads as 0.
    double GetPos() const;
    // Writes the value's text into the buddy and positions the control on it.
    void SetPos(double value);
    // Positions the underlying control on the buddy's value without changing the text.
    void SyncPositionWithBuddy() { SetIntPosFor(GetPos()); }

    // The underlying position a value maps to.
    int PositionFor(double value) const;
    // The text the control writes for a value: fixed-point, never exponent form.
    CString FormatValue(double value) const;
    // The value one arrow step of `positions` from `current` gives, clamped (or wrapped). A
    // value typed beyond the bound the step goes towards stays as it is rather than jump back.
    double SteppedValue(double current, int positions) const;

protected:
    void OnDeltaPos(int delta) override;

private:
    void SetIntPosFor(double value);
    // Decimals a stepped value is shown with.
    int DecimalsForStep() const;
    CString FormatWithDecimals(double value, int decimals) const;

    double m_minVal = 0.0;
    double m_maxVal = 5000000.0;
    double m_delta = 1.0;
    int m_positions = kMaxPositions;
    int m_numDecimals = 2;
    CString m_format;
    bool m_trimTrailingZeros = false;
    bool m_keepTypedDecimals = false;
    char16_t m_decimalSymbol = u'.';
};
