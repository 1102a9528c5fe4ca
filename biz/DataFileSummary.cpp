#include "biz/DataFileSummary.h"

#include "biz/DateTimeFormatter.h"
#include "xml/MarkupArchive.h"

namespace {

// The record's "modified" time; invalid when it has none.
COleDateTime ModifiedOf(CMarkupArchive& document) {
    document.IntoElem();
    const CString text = document.FindChildElem(u"modified") ? document.GetChildData() : CString();
    document.OutOfElem();
    return text.IsEmpty() ? COleDateTime() : CDateTimeFormatter::GetDateTimeFromDB(text);
}

}   // namespace

std::optional<CDataFileSummary> CDataFileSummary::Read(const CString& path) {
    CMarkupArchive document;
    if (path.IsEmpty() || !document.Load(path) || !document.FindElem())
        return std::nullopt;
    CDataFileSummary summary;
    while (document.FindChildElem()) {
        const CString tag = document.GetChildTagName();
        int* count = tag == u"client"        ? &summary.clients
                     : tag == u"project"     ? &summary.projects
                     : tag == u"category"    ? &summary.categories
                     : tag == u"projectItem" ? &summary.entries
                                             : nullptr;
        if (!count)
            continue;   // deletion markers and metadata are not records
        ++*count;
        const COleDateTime modified = ModifiedOf(document);
        if (modified.GetStatus() == COleDateTime::valid && (!summary.lastChanged || modified > *summary.lastChanged))
            summary.lastChanged = modified;
    }
    return summary;
}
