#pragma once
// A cell value as the automation interface hands it over: empty, text, number or date (an OLE
// date, whose day numbers are the spreadsheet's own serial dates).
#include "platform/CString.h"

class CVariant {
public:
    enum class Kind { Empty, Text, Number, Date };

    CVariant() = default;
    static CVariant Text(const CString& text) { return CVariant(Kind::Text, text, 0.0); }
    static CVariant Number(double value) { return CVariant(Kind::Number, CString(), value); }
    static CVariant Date(double oleDate) { return CVariant(Kind::Date, CString(), oleDate); }

    Kind GetKind() const { return m_kind; }
    const CString& GetText() const { return m_text; }
    double GetNumber() const { return m_number; }
    // An empty text is an empty cell too, as the spreadsheet shows it.
    bool IsBlank() const { return m_kind == Kind::Empty || (m_kind == Kind::Text && m_text.IsEmpty()); }

private:
    CVariant(Kind kind, CString text, double number) : m_kind(kind), m_text(std::move(text)), m_number(number) {}
    Kind m_kind = Kind::Empty;
    CString m_text;
    double m_number = 0.0;
};
