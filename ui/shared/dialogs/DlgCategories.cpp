#include "ui/shared/dialogs/DlgCategories.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "platform/MessageBox.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/EditCategory.h"

namespace {
constexpr int kIdRole = Qt::UserRole;
}   // namespace

CDlgCategories::CDlgCategories(QWidget* parent) : CDialog(u"Categories", parent) {}

void CDlgCategories::CreateControls() {
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("categoryList"));
    m_new = new QPushButton(tr("&New"), this);
    m_new->setObjectName(QStringLiteral("newButton"));
    m_edit = new QPushButton(tr("&Edit"), this);
    m_edit->setObjectName(QStringLiteral("editButton"));
    m_delete = new QPushButton(tr("&Delete"), this);
    m_delete->setObjectName(QStringLiteral("deleteButton"));
    connect(m_new, &QPushButton::clicked, this, [this] { OnNew(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });

    auto* side = new QVBoxLayout;
    side->addWidget(m_new);
    side->addWidget(m_edit);
    side->addWidget(m_delete);
    side->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(m_list, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(AddOkCancelButtons());
}

bool CDlgCategories::OnInitDialog() {
    FillList(m_pCategory ? m_pCategory->get_ID() : 0);
    return CDialog::OnInitDialog();
}

void CDlgCategories::FillList(int selectId) {
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    CObArray* categories = GetCurrDataHelper()->GetObjectList(u"category");
    for (int i = 0; i < categories->GetSize(); ++i) {
        const auto* category = static_cast<const CCategory*>(categories->GetAt(i));
        // A sorted list box: alphabetical without regard to case.
        const QString text = qtconv::ToQString(category->get_Description());
        int row = 0;
        while (row < m_list->count() && m_list->item(row)->text().compare(text, Qt::CaseInsensitive) <= 0)
            ++row;
        auto* item = new QListWidgetItem(text);
        item->setData(kIdRole, category->get_ID());
        m_list->insertItem(row, item);
    }
    DisposeObArray(categories);
    m_list->setUpdatesEnabled(true);

    m_list->setCurrentRow(-1);
    if (selectId == 0) {
        if (m_list->count() > 0)
            m_list->setCurrentRow(0);
        return;
    }
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->data(kIdRole).toInt() == selectId) {
            m_list->setCurrentRow(row);
            return;
        }
    }
}

int CDlgCategories::SelectedID() const {
    const QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr || !item->isSelected())
        return 0;
    return item->data(kIdRole).toInt();
}

void CDlgCategories::OnNew() {
    CCategory category;
    if (EditCategory(&category))
        FillList(category.get_ID());
}

void CDlgCategories::OnEdit() {
    const int id = SelectedID();
    if (id == 0)
        return;
    CCategory category;
    category.set_ID(id);
    if (!category.Load())
        return;
    if (EditCategory(&category))
        FillList(id);
}

void CDlgCategories::OnDelete() {
    if (m_list->count() == 1) {
        // The entry editor needs at least one category to bill time against.
        AfxMessageBox(GetResString(2, 1), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr || !item->isSelected())
        return;
    CCategory category;
    category.set_ID(item->data(kIdRole).toInt());
    if (!category.Load())
        return;
    const CWriteCheck check;
    if (category.Delete()) {
        delete m_list->takeItem(m_list->row(item));
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
        return;
    }
    check.ReportIfFailed();
}

void CDlgCategories::OnOK() {
    if (!m_bSelectMode) {
        EndDialogOK();
        return;
    }
    const int id = SelectedID();
    if (id == 0) {
        AfxMessageBox(GetResString(29, 1), MB_OK);
        return;
    }
    if (m_pCategory)
        m_pCategory->set_ID(id);
    EndDialogOK();
}

const DeviceLook& CDlgCategories::GetDeviceLook() const {
    // A small screen's window has no title-bar OK, so the dialog keeps its own; Enter adds a
    // category, as the handheld always did.
    static const DeviceLook look{
        .captions = {{"newButton", devstr::New}, {"editButton", devstr::Edit}, {"deleteButton", devstr::Delete}},
        .defaultButton = "newButton",
    };
    return look;
}
