#include "ui/shared/dialogs/EditCategory.h"

#include <QApplication>

#include "biz/Category.h"
#include "platform/MessageBox.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/DlgEditCategory.h"

int EditCategory(CCategory* pCategory) {
    if (pCategory == nullptr)
        return 0;
    CDlgEditCategory dialog(QApplication::activeWindow());
    dialog.m_strDescription = pCategory->get_Description();
    dialog.m_strCode = pCategory->get_Code();
    dialog.m_fRate = pCategory->get_Quillmar();
    int saved = 0;
    // Saved while the dialog is open, so a failed write keeps what was typed.
    dialog.m_okCheck = [&] {
        pCategory->set_Description(dialog.m_strDescription);
        pCategory->set_Code(dialog.m_strCode);
        pCategory->set_Quillmar(dialog.m_fRate);
        saved = CWriteCheck::SaveIfDirty(*pCategory);
        return saved >= 0;
    };
    if (dialog.DoModal() != IDOK)
        return 0;
    return saved > 0 ? 1 : 0;
}
