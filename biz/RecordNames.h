#pragma once
// The names that lists of entries show, read once from the current document: clients,
// projects (with their client) and categories by RefID. Looking each entry's names up by
// loading its records costs a search of the document per entry; a report over thousands of
// entries reads them from here. A RefID held by several records of a kind means the first, as
// a lookup by RefID finds.
#include <unordered_map>
#include <vector>

#include "biz/BizExport.h"
#include "platform/CString.h"

class QUILLMAR_BIZ_EXPORT CRecordNames {
public:
    struct Client {
        CString description;
        CString contact;
        CString address;
        CString accountNum;
    };
    struct Project {
        CString description;
        CString clientRef;
    };
    struct Category {
        CString description;
        CString code;
    };

    // Reads the clients, projects and categories of the data store's current document.
    CRecordNames();

    // nullptr when no record of that kind carries the RefID (or it is empty).
    const Client* FindClient(const CString& clientRef) const;
    const Project* FindProject(const CString& projectRef) const;
    const Category* FindCategory(const CString& categoryRef) const;

    // The RefID of the client of a project, "" when the project is unknown: what an entry's
    // get_ClientRef gives, without loading the project.
    CString ClientRefOfProject(const CString& projectRef) const;
    // Descriptions and codes; "" when the record is unknown.
    CString ClientName(const CString& clientRef) const;
    CString ProjectName(const CString& projectRef) const;
    CString CategoryCode(const CString& categoryRef) const;
    CString CategoryName(const CString& categoryRef) const;
    // The RefIDs of the projects and of the categories read, in no particular order.
    std::vector<CString> ProjectRefs() const;
    std::vector<CString> CategoryRefs() const;

private:
    std::unordered_map<CString, Client> m_clients;
    std::unordered_map<CString, Project> m_projects;
    std::unordered_map<CString, Category> m_categories;
};
