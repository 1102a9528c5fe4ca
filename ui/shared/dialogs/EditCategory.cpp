#include "ui/shared/dialogs/EditCategory.h"

#include <QApplication>

#include "biz/Category.h"
#include "platform/MessageBox.h"
#include "ui/shared/dialogs/DlgEditCategory.h"

int EditCategory(CCategory* pCategory) {
    if (pCategory == nullptr)
        return 0;
    CDlgEditCategory dialog(QApplication::activeWindow());
    dialog.m_strDescription = pCategory->get_Description();
    dialog.m_strCode = pCategory->get_Code();
    dialog.m_fRate = pCategory->get_Quillmar();
    if (dialog.DoModal() != IDOK)
        return 0;
    pCategory->set_Description(dialog.m_strDescription);
    pCategory->set_Code(dialog.m_strCode);
    pCategory->set_Quillmar(dialog.m_fRate);
    return pCategory->get_IsDirty() ? pCategory->Save() : 0;
}
