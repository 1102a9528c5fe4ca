#include "biz/RecordBatch.h"

namespace {

constexpr const char16_t* kMetaDataName = u"metaData";
constexpr const char16_t* kDeletedName = u"deleted";
constexpr const char16_t* kDescriptionName = u"description";

// Text of the first "description" child of the current child element; "" when absent.
CString ChildDescription(CMarkupArchive& document) {
    document.IntoElem();
    const CString text = document.FindChildElem(kDescriptionName) ? document.GetChildData() : CString();
    document.OutOfElem();
    return text;
}

}   // namespace

std::optional<CRecordBatch> CRecordBatch::Open(CMarkupArchive& data) {
    if (!data.GetNameSpace().IsEmpty())
        return std::nullopt;
    data.ResetPos();
    if (!data.FindElem() || !data.HasPlainChildren()) {
        data.ResetPos();
        return std::nullopt;
    }
    CRecordBatch batch;
    const CString rootName = data.GetTagName();
    for (int ordinal = 0; data.FindChildElem(); ++ordinal) {
        const CString tag = data.GetChildTagName();
        const CString id = data.GetChildAttrib(u"id");
        const CString refId = data.GetChildAttrib(u"refId");
        batch.m_removed.push_back(false);
        if (!id.IsEmpty())
            batch.m_byId[id.str()].push_back(ordinal);
        batch.m_byTagAndRefId[{tag.str(), refId.str()}].push_back(ordinal);
        if (tag == kDeletedName)
            batch.m_markers[{ChildDescription(data).str(), refId.str()}].push_back(ordinal);
        if (batch.m_metaDataOrdinal < 0 && tag == kMetaDataName) {
            // One that an ID lookup could find and remove would not stay where it stands.
            if (!id.IsEmpty()) {
                data.ResetPos();
                return std::nullopt;
            }
            batch.m_metaDataOrdinal = ordinal;
            batch.m_metaDataText = data.GetChildSubDoc();
        }
    }
    data.ResetPos();
    if (batch.m_metaDataOrdinal < 0 || !batch.m_metaData.SetDoc(batch.m_metaDataText))
        return std::nullopt;
    // A root with a line break inside, as every record appended to the data root finds it.
    std::u16string appendedRoot = u"<" + rootName.str() + u">\r\n</" + rootName.str() + u">\r\n";
    if (!batch.m_appended.SetDoc(appendedRoot))
        return std::nullopt;
    return batch;
}

bool CRecordBatch::RemoveFirstKept(const std::vector<int>* ordinals) {
    if (!ordinals)
        return false;
    for (int ordinal : *ordinals) {
        if (!m_removed[static_cast<size_t>(ordinal)]) {
            m_removed[static_cast<size_t>(ordinal)] = true;
            m_anyRemoved = true;
            return true;
        }
    }
    return false;
}

bool CRecordBatch::RemoveById(const CString& elemName, const CString& idText) {
    // The search by attribute finds nothing without a name, whatever the document holds.
    if (elemName.IsEmpty())
        return false;
    const auto found = m_byId.find(idText.str());
    if (RemoveFirstKept(found == m_byId.end() ? nullptr : &found->second))
        return true;
    m_appended.ResetPos();
    if (!m_appended.FindChildElemAttrib(elemName, u"id", idText))
        return false;
    m_appended.IntoElem();
    m_appended.RemoveElem();
    m_appended.ResetPos();
    return true;
}

bool CRecordBatch::RemoveRecord(const CString& tag, const CString& refId) {
    const auto found = m_byTagAndRefId.find({tag.str(), refId.str()});
    if (RemoveFirstKept(found == m_byTagAndRefId.end() ? nullptr : &found->second))
        return true;
    return RemoveFirstAppended(tag, refId, nullptr);
}

bool CRecordBatch::RemoveMarker(const CString& kind, const CString& refId) {
    const auto found = m_markers.find({kind.str(), refId.str()});
    if (RemoveFirstKept(found == m_markers.end() ? nullptr : &found->second))
        return true;
    return RemoveFirstAppended(kDeletedName, refId, &kind);
}

bool CRecordBatch::RemoveFirstAppended(const CString& tag, const CString& refId, const CString* description) {
    m_appended.ResetPos();
    m_appended.FindElem();
    bool removed = false;
    while (!removed && m_appended.FindChildElem(tag)) {
        if (m_appended.GetChildAttrib(u"refId") != refId ||
            (description && ChildDescription(m_appended) != *description))
            continue;
        m_appended.IntoElem();
        m_appended.RemoveElem();
        removed = true;
    }
    m_appended.ResetPos();
    return removed;
}

bool CRecordBatch::HasEdits() const { return m_anyRemoved || m_appendedUsed || m_metaData.GetDoc() != m_metaDataText; }

bool CRecordBatch::Apply(CMarkupArchive& data) const {
    std::map<int, CString> replaced;
    if (m_metaData.GetDoc() != m_metaDataText)
        replaced.emplace(m_metaDataOrdinal, m_metaData.GetDoc());
    std::u16string appended;
    CMarkupArchive records(m_appended);
    records.ResetPos();
    records.FindElem();
    while (records.FindChildElem())
        appended += records.GetChildSubDoc().str();
    data.ResetPos();
    const bool applied = data.FindElem() && data.RewriteChildren(m_removed, replaced, appended);
    data.ResetPos();
    return applied;
}
