#pragma once
// Reads one record element in a single pass over its children. A field is read from the
// first child of its name, as a fresh search per field would find it; a field whose child
// is absent is left alone. Numbers are scanned like "%d" / "%f": a leading number, the rest
// ignored, 0 when there is none.
#include <utility>
#include <vector>

#include "platform/CString.h"
#include "platform/OleDateTime.h"

class CMarkupArchive;

class CRecordReader {
public:
    // `archive` must stand on the record element (its main position) for the reader's life.
    explicit CRecordReader(CMarkupArchive& archive);

    CString Attrib(const char16_t* name) const;   // "" when absent
    int AttribInt(const char16_t* name) const;    // 0 when absent

    bool Text(const char16_t* name, CString& value) const;
    bool Int(const char16_t* name, int& value) const;
    bool Float(const char16_t* name, float& value) const;
    // A stored date-time text (CDateTimeFormatter::GetDateTimeFromDB).
    bool DateTime(const char16_t* name, COleDateTime& value) const;

    static int ScanInt(const CString& text);
    static float ScanFloat(const CString& text);

private:
    const CString* Find(const char16_t* name) const;

    CMarkupArchive& m_archive;
    std::vector<std::pair<CString, CString>> m_children;   // name, data; first of each name
};
