#include "biz/StoredEntry.h"

#include "biz/ProjectItem.h"
#include "biz/RecordReader.h"
#include "xml/MarkupArchive.h"

std::u16string_view CStoredEntry::Markup() const {
    return m_document.IntoRootChild(m_handle) ? m_document.GetElemTextView() : std::u16string_view();
}

std::unique_ptr<CProjectItem> CStoredEntry::Build() const {
    if (!m_document.IntoRootChild(m_handle))
        return nullptr;
    auto entry = std::make_unique<CProjectItem>(m_now);
    static_cast<CBaseObject&>(*entry).ReadRecord(CRecordReader(m_document));
    return entry;
}
