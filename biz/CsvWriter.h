#pragma once
// Comma-separated values as RFC 4180 writes them: UTF-8, records ending in CR LF, a field
// quoted when it holds a comma, a double quote, a CR or a LF, with its double quotes doubled.
// Spreadsheet programs take a cell that begins with "=", "+", "-", "@", a tab or a CR as a
// formula, so text from the user can be guarded: such a text gets a leading apostrophe, which
// the spreadsheet shows instead of running it.
#include <string>

#include "biz/BizExport.h"
#include "platform/CString.h"

class QUILLMAR_BIZ_EXPORT CCsvWriter {
public:
    // What every CSV file of the program lets the user choose.
    struct Format {
        bool userDateFormat = false;   // the user's short date and time instead of ISO 8601
        bool guardFormulas = true;     // apostrophe before user text that a spreadsheet would run
        bool byteOrderMark = false;    // some spreadsheet programs need it to read UTF-8
    };

    explicit CCsvWriter(const Format& format) : m_format(format) {}

    // A field of the current record, written as it is (numbers, dates, the program's own texts).
    void AddField(const CString& text);
    // A field of text the user typed: guarded when the format says so.
    void AddTextField(const CString& text);
    void EndRecord();

    // The UTF-8 text so far, with the byte order mark when the format asks for one.
    std::string Text() const;
    // Writes Text() to `path` atomically (the old file stays whole when anything fails); false
    // with `error` = "Cannot save " and the path when it could not be written.
    bool Save(const CString& path, CString& error) const;

    const Format& GetFormat() const { return m_format; }

    // The field as it stands in the file.
    static std::string Quoted(const std::string& utf8);
    // Hours with two decimals from whole minutes, rounded half away from zero: 90 -> "1.50",
    // 20 -> "0.33", -75 -> "-1.25".
    static CString DecimalHours(long long minutes);
    // A whole number: "-20".
    static CString Integer(long long value);

private:
    Format m_format;
    std::string m_text;
    bool m_recordStarted = false;
};
