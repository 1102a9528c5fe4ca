#include "desktop/dialogs/ManageCategories.h"

#include <QApplication>

#include "biz/Category.h"
#include "desktop/dialogs/DlgCategories.h"
#include "platform/MessageBox.h"

int ManageCategories(CCategory* pCategory) {
    CDlgCategories dialog(QApplication::activeWindow());
    dialog.m_bSelectMode = pCategory != nullptr;
    dialog.m_pCategory = pCategory;
    return dialog.DoModal() == IDOK ? 1 : 0;
}
