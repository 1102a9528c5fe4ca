#include "ui/shared/dialogs/ManageCategories.h"

#include <QApplication>

#include "biz/Category.h"
#include "platform/MessageBox.h"
#include "ui/shared/dialogs/DlgCategories.h"

int ManageCategories(CCategory* pCategory) {
    CDlgCategories dialog(QApplication::activeWindow());
    dialog.m_bSelectMode = pCategory != nullptr;
    dialog.m_pCategory = pCategory;
    return dialog.DoModal() == IDOK ? 1 : 0;
}
