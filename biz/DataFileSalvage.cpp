#include "biz/DataFileSalvage.h"

#include <string_view>

#include "biz/DateTimeFormatter.h"
#include "biz/FieldLimits.h"
#include "biz/RecordReader.h"
#include "platform/Paths.h"
#include "xml/MarkupArchive.h"

namespace {

constexpr std::u16string_view kMetaDataName = u"metaData";
constexpr std::u16string_view kLineBreak = u"\r\n";
constexpr std::u16string_view kElementNames[] = {u"metaData", u"client",      u"project",
                                                 u"category", u"projectItem", u"deleted"};
constexpr const char16_t* kMetaDataValues[] = {u"docVer", u"lastId", u"syncID", u"lastSync"};

bool IsNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u':' || c == u'-' || c == u'.';
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

CString DecimalText(int value) {
    CString text;
    text.Format(u"%d", value);
    return text;
}

// Where each stored element of a kind we know begins ("<client ", "<projectItem>"...), in order.
template <typename Candidate>
std::vector<Candidate> FindCandidates(std::u16string_view text) {
    std::vector<Candidate> found;
    for (size_t at = text.find(u'<'); at != std::u16string_view::npos; at = text.find(u'<', at + 1)) {
        size_t end = at + 1;
        while (end < text.size() && IsNameChar(text[end]))
            ++end;
        if (end < text.size() && !IsSpace(text[end]) && text[end] != u'>' && text[end] != u'/')
            continue;
        const std::u16string_view name = text.substr(at + 1, end - at - 1);
        for (std::u16string_view known : kElementNames) {
            if (name == known)
                found.push_back(Candidate{at, CString(std::u16string(name))});
        }
    }
    return found;
}

// The offset of the '>' that ends the element starting at 0 in `window`; npos when it does not
// end there. Looks no further than the window, so reading the file stays linear.
size_t ElementEnd(std::u16string_view window, std::u16string_view name) {
    const size_t startTagEnd = window.find(u'>');
    if (startTagEnd == std::u16string_view::npos)
        return startTagEnd;
    if (window[startTagEnd - 1] == u'/')
        return startTagEnd;
    const std::u16string endTag = u"</" + std::u16string(name);
    for (size_t at = window.find(endTag, startTagEnd); at != std::u16string_view::npos;
         at = window.find(endTag, at + 1)) {
        size_t close = at + endTag.size();
        while (close < window.size() && IsSpace(window[close]))
            ++close;
        if (close < window.size() && window[close] == u'>')
            return close;
    }
    return std::u16string_view::npos;
}

bool IsUsableMetaData(const CString& name, const CString& value) {
    if (name == u"lastId")
        return !value.IsEmpty() && DecimalText(CRecordReader::ScanInt(value)) == value &&
               CRecordReader::ScanInt(value) >= 0;
    if (name == u"lastSync")
        return CDateTimeFormatter::GetDateTimeFromDB(value).GetStatus() == COleDateTime::valid;
    return !value.IsEmpty();
}

// A field of a stored record that must lie within the limits, and how it reads.
struct CheckedField {
    const char16_t* element;
    const char16_t* label;
    bool isFloat;
    int (*clampInt)(int);
    float (*clampFloat)(float);
};

constexpr CheckedField kEntryFields[] = {
    {u"itemType", u"entry type", false, &CFieldLimits::ItemType, nullptr},
    {u"pymtStatus", u"billing status", false, &CFieldLimits::PymtStatus, nullptr},
    {u"isBillable", u"billable flag", false, &CFieldLimits::Billable, nullptr},
    {u"billAmount", u"amount", true, nullptr, &CFieldLimits::Amount},
    {u"duration", u"duration", false, &CFieldLimits::DurationMinutes, nullptr},
    {u"odometerStart", u"odometer start", false, &CFieldLimits::Odometer, nullptr},
    {u"odometerEnd", u"odometer end", false, &CFieldLimits::Odometer, nullptr},
};
constexpr CheckedField kCategoryFields[] = {
    {u"quillmar", u"rate", true, nullptr, &CFieldLimits::Rate},
};

// The usable text for a field's stored text; empty when the stored text is fine as it is.
CString CorrectedText(const CheckedField& field, const CString& stored) {
    CString text;
    if (field.isFloat) {
        const float read = CRecordReader::ScanFloat(stored);
        const float usable = field.clampFloat(read);
        if (!(usable == read))
            text = CMarkupArchive::FloatText(usable);
    } else {
        const int read = CRecordReader::ScanInt(stored);
        const int usable = field.clampInt(read);
        if (usable != read)
            text = DecimalText(usable);
    }
    return text;
}

}   // namespace

CDataFileSalvage CDataFileSalvage::Read(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return CDataFileSalvage();
    return FromText(CString::FromUtf8(bytes));
}

CDataFileSalvage CDataFileSalvage::FromText(const CString& text) {
    CDataFileSalvage salvage;
    const std::u16string_view view = text.str();
    const std::vector<Candidate> candidates = FindCandidates<Candidate>(view);
    bool metaDataTaken = false;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const size_t windowEnd = i + 1 < candidates.size() ? candidates[i + 1].start : view.size();
        if (candidates[i].name.str() != kMetaDataName) {
            salvage.TakeRecord(text, candidates[i], windowEnd);
        } else if (!metaDataTaken) {
            salvage.TakeMetaData(text, candidates[i].start, windowEnd);
            metaDataTaken = true;
        }
    }
    return salvage;
}

void CDataFileSalvage::TakeRecord(const CString& text, const Candidate& candidate, size_t windowEnd) {
    const std::u16string_view window =
        std::u16string_view(text.str()).substr(candidate.start, windowEnd - candidate.start);
    const size_t end = ElementEnd(window, candidate.name.str());
    CMarkupArchive record;
    const CString markup(std::u16string(window.substr(0, end == std::u16string_view::npos ? 0 : end + 1)));
    if (end == std::u16string_view::npos || !record.SetDoc(markup) || !record.FindElem() ||
        record.GetTagName() != candidate.name) {
        ++m_dropped;
        return;
    }
    // A record is found by the exact decimal text of its ID; without one it cannot be used.
    const CString idText = record.GetAttrib(u"id");
    const int id = CRecordReader::ScanInt(idText);
    if (id <= 0 || DecimalText(id) != idText) {
        ++m_dropped;
        return;
    }
    m_records.push_back(CorrectFields(candidate.name, markup));
}

void CDataFileSalvage::TakeMetaData(const CString& text, size_t start, size_t windowEnd) {
    const std::u16string_view window = std::u16string_view(text.str()).substr(start, windowEnd - start);
    for (const char16_t* name : kMetaDataValues) {
        const std::u16string open = u"<" + std::u16string(name) + u">";
        const std::u16string close = u"</" + std::u16string(name) + u">";
        const size_t from = window.find(open);
        const size_t to = from == std::u16string_view::npos ? from : window.find(close, from);
        CMarkupArchive value;
        if (to == std::u16string_view::npos ||
            !value.SetDoc(CString(std::u16string(window.substr(from, to + close.size() - from)))) || !value.FindElem())
            continue;
        const CString data = value.GetData();
        if (IsUsableMetaData(name, data))
            m_metaData.emplace_back(name, data);
    }
}

CString CDataFileSalvage::CorrectFields(const CString& kind, const CString& markup) {
    const bool isEntry = kind == u"projectItem";
    if (!isEntry && kind != u"category")
        return markup;
    CMarkupArchive record;
    record.SetDoc(markup);
    record.FindElem();
    const CString description = record.FindChildElem(u"description") ? record.GetChildData() : CString();
    const CString id = record.GetAttrib(u"id");
    bool changed = false;
    const auto check = [&](const CheckedField& field) {
        record.ResetChildPos();
        if (!record.FindChildElem(field.element))
            return;
        const CString stored = record.GetChildData();
        const CString usable = CorrectedText(field, stored);
        if (usable.IsEmpty())
            return;
        record.SetChildData(usable);
        changed = true;
        CString sentence;
        sentence.Format(u"%s %s \"%s\": the %s \"%s\" was changed to %s.", isEntry ? u"Entry" : u"Category",
                        id.GetString(), description.GetString(), field.label, stored.GetString(), usable.GetString());
        m_corrections.push_back(sentence);
    };
    if (isEntry) {
        for (const CheckedField& field : kEntryFields)
            check(field);
    } else {
        for (const CheckedField& field : kCategoryFields)
            check(field);
    }
    return changed ? record.GetDoc() : markup;
}

CString CDataFileSalvage::BuildDocument(const std::vector<std::pair<CString, CString>>& defaults) const {
    CMarkupArchive metaData;
    metaData.AddElem(CString(std::u16string(kMetaDataName)));
    for (const auto& [name, fallback] : defaults) {
        CString value = fallback;
        for (const auto& [found, recovered] : m_metaData) {
            if (found == name)
                value = recovered;
        }
        metaData.AddChildElem(name, value);
    }
    std::u16string text = u"<quillmar>";
    text += kLineBreak;
    text += metaData.GetDoc().str();
    if (!text.ends_with(kLineBreak))
        text += kLineBreak;
    for (const CString& record : m_records) {
        text += record.str();
        text += kLineBreak;
    }
    text += u"</quillmar>";
    text += kLineBreak;
    return CString(std::move(text));
}
