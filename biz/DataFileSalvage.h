#pragma once
// What a data file that no longer reads as a whole still holds. The file is read leniently:
// every record element (client, project, category, entry, deletion marker) that is complete
// and well-formed on its own, with a decimal "id", is taken as it stands, so IDs, RefIDs and
// every field are kept; a file cut off in the middle gives back every record before the cut.
// The "metaData" values that still read are taken too. Fields the programs cannot use (an
// amount "nan", an item type 7, a negative duration...) are set to what loading would make of
// them (CFieldLimits), and each such change is described for the user.
#include <string>
#include <utility>
#include <vector>

#include "biz/BizExport.h"
#include "platform/CString.h"

class QUILLMAR_BIZ_EXPORT CDataFileSalvage {
public:
    // Reads the file at `path` (UTF-8; bytes that are not become U+FFFD). A file that cannot
    // be read at all yields nothing.
    static CDataFileSalvage Read(const std::string& path);
    // The same, on text already in memory.
    static CDataFileSalvage FromText(const CString& text);

    int RecoveredCount() const { return static_cast<int>(m_records.size()); }
    // Record elements that were begun but are incomplete, not well-formed or without an ID.
    int DroppedCount() const { return m_dropped; }
    // True when there is a record or a metadata value to carry over.
    bool HasAnything() const { return !m_records.empty() || !m_metaData.empty(); }
    // One sentence per field that was changed, in file order.
    const std::vector<CString>& Corrections() const { return m_corrections; }

    // The text of a data file: root "quillmar", "metaData" holding `defaults` (name and value,
    // in order) with every value recovered from the file in place of its default, then the
    // recovered records in file order, every element on a line of its own.
    CString BuildDocument(const std::vector<std::pair<CString, CString>>& defaults) const;

private:
    struct Candidate {
        size_t start;
        CString name;
    };
    void TakeRecord(const CString& text, const Candidate& candidate, size_t windowEnd);
    void TakeMetaData(const CString& text, size_t start, size_t windowEnd);
    // Sets unusable fields of the record element `markup` to usable values; the new markup.
    CString CorrectFields(const CString& kind, const CString& markup);

    std::vector<CString> m_records;                        // element texts, file order
    std::vector<std::pair<CString, CString>> m_metaData;   // recovered values
    std::vector<CString> m_corrections;
    int m_dropped = 0;
};
