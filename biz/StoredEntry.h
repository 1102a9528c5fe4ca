#pragma once
// A light handle on one stored entry during CDataHelper::ForEachEntry: its element's text as
// stored, and the record built from it only when asked. Valid for the visit only.
#include <memory>
#include <string_view>

#include "biz/BizExport.h"
#include "platform/OleDateTime.h"

class CMarkupArchive;
class CProjectItem;

class QUILLMAR_BIZ_EXPORT CStoredEntry {
public:
    CStoredEntry(CMarkupArchive& document, int handle, const COleDateTime& now)
        : m_document(document), m_handle(handle), m_now(now) {}

    // The element from its start tag to its end tag, references not decoded (a quick test
    // before building the record); empty when the entry is no longer stored.
    std::u16string_view Markup() const;
    // The record as GetObjectList would build it; null when the entry is no longer stored.
    std::unique_ptr<CProjectItem> Build() const;

private:
    CMarkupArchive& m_document;
    int m_handle;
    COleDateTime m_now;
};
