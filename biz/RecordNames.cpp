#include "biz/RecordNames.h"

#include <memory>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "platform/ObArray.h"

namespace {

template <typename Record, typename Names, typename Fill>
void ReadKind(const char16_t* elemName, Names& names, Fill fill) {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return;
    std::unique_ptr<CObArray> list(store->GetObjectList(elemName));
    for (int i = 0; i < list->GetSize(); ++i) {
        const auto* record = static_cast<const Record*>(list->GetAt(i));
        if (!record->get_RefID().IsEmpty())
            names.try_emplace(record->get_RefID(), fill(*record));
    }
}

template <typename Map>
const typename Map::mapped_type* Lookup(const Map& map, const CString& refId) {
    if (refId.IsEmpty())
        return nullptr;
    const auto found = map.find(refId);
    return found == map.end() ? nullptr : &found->second;
}

}   // namespace

CRecordNames::CRecordNames() {
    ReadKind<CClient>(u"client", m_clients, [](const CClient& client) {
        return Client{client.get_Description(), client.get_Contact(), client.get_Address(), client.get_AccountNum()};
    });
    ReadKind<CProject>(u"project", m_projects, [](const CProject& project) {
        return Project{project.get_Description(), project.get_ClientRef()};
    });
    ReadKind<CCategory>(u"category", m_categories, [](const CCategory& category) {
        return Category{category.get_Description(), category.get_Code()};
    });
}

const CRecordNames::Client* CRecordNames::FindClient(const CString& clientRef) const {
    return Lookup(m_clients, clientRef);
}

const CRecordNames::Project* CRecordNames::FindProject(const CString& projectRef) const {
    return Lookup(m_projects, projectRef);
}

const CRecordNames::Category* CRecordNames::FindCategory(const CString& categoryRef) const {
    return Lookup(m_categories, categoryRef);
}

CString CRecordNames::ClientRefOfProject(const CString& projectRef) const {
    const Project* project = FindProject(projectRef);
    return project ? project->clientRef : CString();
}

CString CRecordNames::ClientName(const CString& clientRef) const {
    const Client* client = FindClient(clientRef);
    return client ? client->description : CString();
}

CString CRecordNames::ProjectName(const CString& projectRef) const {
    const Project* project = FindProject(projectRef);
    return project ? project->description : CString();
}

CString CRecordNames::CategoryCode(const CString& categoryRef) const {
    const Category* category = FindCategory(categoryRef);
    return category ? category->code : CString();
}

CString CRecordNames::CategoryName(const CString& categoryRef) const {
    const Category* category = FindCategory(categoryRef);
    return category ? category->description : CString();
}

std::vector<CString> CRecordNames::ProjectRefs() const {
    std::vector<CString> refs;
    refs.reserve(m_projects.size());
    for (const auto& [ref, project] : m_projects)
        refs.push_back(ref);
    return refs;
}

std::vector<CString> CRecordNames::CategoryRefs() const {
    std::vector<CString> refs;
    refs.reserve(m_categories.size());
    for (const auto& [ref, category] : m_categories)
        refs.push_back(ref);
    return refs;
}
