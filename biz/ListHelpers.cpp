#include <memory>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/ComboBox.h"
#include "platform/ObArray.h"

void DisposeObArray(CObArray* list) {
    // The array owns its records, so deleting it releases them too.
    delete list;
}

CString DeletedProjectText() { return u"(deleted project)"; }

CString DeletedCategoryText() { return u"(deleted category)"; }

CString FormatProjectName(const CString& projectRef) {
    if (projectRef.IsEmpty())
        return CString();
    CDataHelper* store = GetCurrDataHelper();
    CProject project;
    project.set_ID(store->RefID_To_ID(projectRef, u"project"));
    if (!project.Load())
        return DeletedProjectText();
    CClient client;
    client.set_ID(store->RefID_To_ID(project.get_ClientRef(), u"client"));
    if (!client.Load())
        return project.get_Description();
    return client.get_Description() + u": " + project.get_Description();
}

namespace {
CString DisplayTextOf(const CBaseObject& record, bool isCategory) {
    if (isCategory)
        return static_cast<const CCategory&>(record).get_Code();
    return record.get_Description();
}

void SelectItemWithValue(CComboBox* list, unsigned long value) {
    for (int index = 0; index < list->GetCount(); ++index) {
        if (list->GetItemData(index) == value) {
            list->SetCurSel(index);
            return;
        }
    }
}
}   // namespace

void PopulateComboBoxWithObjectList(CComboBox* list, const CString& elemName, unsigned long selectedId, bool addBlank,
                                    const CString& blankText) {
    list->ResetContent();
    if (addBlank) {
        list->AddString(blankText);
        list->SetItemData(0, 0);
    }
    const bool isCategory = elemName == CString(u"category");
    std::unique_ptr<CObArray> records(GetCurrDataHelper()->GetObjectList(elemName));
    for (int i = 0; records && i < records->GetSize(); ++i) {
        const auto* record = static_cast<const CBaseObject*>(records->GetAt(i));
        const int index = list->AddString(DisplayTextOf(*record, isCategory));
        list->SetItemData(index, static_cast<uintptr_t>(record->get_ID()));
    }
    if (selectedId != 0) {
        SelectItemWithValue(list, selectedId);
    } else if (list->GetCount() > 0) {
        list->SetCurSel(0);
    }
}
