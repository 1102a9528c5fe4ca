#pragma once
// Reads one record element in a single pass over its children. A field is read from the
// first child of its name, as a fresh search per field would find it; a field whose child
// is absent is left alone. Numbers are scanned like "%d" / "%f": a leading number, the rest
// ignored, 0 when there is none. Every child name a record kind stores is known here, so
// lists of many records keep only the values they use.
#include <array>
#include <optional>
#include <string_view>

#include "platform/CString.h"
#include "platform/OleDateTime.h"

class CMarkupArchive;

class CRecordReader {
public:
    // `archive` must stand on the record element (its main position) for the reader's life.
    explicit CRecordReader(CMarkupArchive& archive);

    CString Attrib(const char16_t* name) const;   // "" when absent
    int AttribInt(const char16_t* name) const;    // 0 when absent

    // Each field is taken once: its text moves into `value`.
    bool Text(const char16_t* name, CString& value) const;
    bool Int(const char16_t* name, int& value) const;
    bool Float(const char16_t* name, float& value) const;
    // A stored date-time text (CDateTimeFormatter::GetDateTimeFromDB).
    bool DateTime(const char16_t* name, COleDateTime& value) const;

    static int ScanInt(const CString& text);
    static float ScanFloat(const CString& text);

    // The child element names of the stored layouts.
    static constexpr std::array<std::u16string_view, 22> kFieldNames = {
        u"description",  u"notes",      u"modified",  u"code",     u"quillmar",      u"address",
        u"contact",      u"accountNum", u"itemDate",  u"itemType", u"pymtStatus",    u"isBillable",
        u"billAmount",   u"duration",   u"startTime", u"endTime",  u"odometerStart", u"odometerEnd",
        u"description2", u"custom1",    u"custom2",   u"custom3",
    };

private:
    static int FieldIndex(std::u16string_view name);
    std::optional<CString>* Find(const char16_t* name) const;

    CMarkupArchive& m_archive;
    mutable std::array<std::optional<CString>, kFieldNames.size()> m_values;
};
