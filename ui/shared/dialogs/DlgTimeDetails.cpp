#include "ui/shared/dialogs/DlgTimeDetails.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "platform/MessageBox.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ResStrings.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/DlgEditDuration.h"
#include "ui/shared/dialogs/ManageCategories.h"
#include "ui/shared/dialogs/SortedComboBox.h"

CDlgTimeDetails::CDlgTimeDetails(QWidget* parent) : CDlgEntryDetailsBase(parent) {}

void CDlgTimeDetails::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Time Entry Information"), this, grid);
    CreateCommonControls(grid, 2);

    m_duration = Named(new QLineEdit(this), "durationText");
    m_duration->setReadOnly(true);
    m_durationButton = MakeEllipsisButton(this, "durationButton");
    grid->addWidget(MakeBuddyLabel(tr("D&uration:"), m_durationButton, this), 1, 0);
    grid->addWidget(m_duration, 1, 1);
    grid->addWidget(m_durationButton, 1, 2);
    connect(m_durationButton, &QPushButton::clicked, this, [this] { EditDuration(); });

    grid->addWidget(MakeBuddyLabel(tr("D&escription (e.g: Dinner with client):"), m_description, this), 3, 0, 1, 3);
    grid->addWidget(m_description, 4, 0, 1, 3);

    m_category = Named(new QComboBox(this), "categoryCombo");
    m_categoryButton = MakeEllipsisButton(this, "categoryButton");
    grid->addWidget(MakeBuddyLabel(tr("&Category:"), m_category, this), 5, 0);
    grid->addWidget(m_category, 5, 1);
    grid->addWidget(m_categoryButton, 5, 2);
    connect(m_categoryButton, &QPushButton::clicked, this, [this] { ChooseCategory(); });

    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
}

bool CDlgTimeDetails::OnInitDialog() {
    FillCategories(StoredCategoryId());
    ShowDuration();
    return CDlgEntryDetailsBase::OnInitDialog();
}

void CDlgTimeDetails::FillCategories(int selectId) {
    CSortedComboBox list(m_category, false);
    PopulateComboBoxWithObjectList(&list, u"category", static_cast<unsigned long>(selectId), false, CString());
    if (selectId == 0 && RefersToDeletedCategory()) {
        // Item data 0 is no record's ID: OK on it keeps the entry's reference.
        m_category->insertItem(0, qtconv::ToQString(DeletedCategoryText()), QVariant::fromValue<qulonglong>(0));
        m_category->setCurrentIndex(0);
    }
}

int CDlgTimeDetails::StoredCategoryId() const {
    // A deleted category's RefID still finds its deletion marker, which does not load as one.
    CCategory category;
    category.set_ID(GetCurrDataHelper()->RefID_To_ID(m_strCategoryRef, u"category"));
    return category.get_ID() != 0 && category.Load() ? category.get_ID() : 0;
}

bool CDlgTimeDetails::RefersToDeletedCategory() const {
    return !m_strCategoryRef.IsEmpty() && StoredCategoryId() == 0;
}

void CDlgTimeDetails::ShowDuration() {
    if (m_duration && m_pProjectItem)
        m_duration->setText(
            qtconv::ToQString(CDateTimeFormatter::FormatDuration(m_pProjectItem->get_DurationInMinutes())));
}

int CDlgTimeDetails::GetSelectedCategoryID() const {
    if (m_category == nullptr)
        return GetCurrDataHelper()->RefID_To_ID(m_strCategoryRef, u"category");
    CQtComboBox list(m_category);
    const int selected = list.GetCurSel();
    if (selected == CB_ERR)
        return CB_ERR;
    return static_cast<int>(list.GetItemData(selected));
}

void CDlgTimeDetails::EditDuration() {
    if (m_pProjectItem == nullptr)
        return;
    CDlgEditDuration dialog(this);
    dialog.m_StartTime = m_pProjectItem->get_StartTime();
    dialog.m_EndTime = m_pProjectItem->get_EndTime();
    dialog.m_nDuration = m_pProjectItem->get_DurationInMinutes();
    if (dialog.DoModal() != IDOK)
        return;
    // Straight into the entry: the sheet's Cancel leaves them unsaved in the caller's object.
    m_pProjectItem->set_StartTime(dialog.m_StartTime);
    m_pProjectItem->set_EndTime(dialog.m_EndTime);
    m_pProjectItem->set_DurationInMinutes(dialog.m_nDuration);
    ShowDuration();
}

void CDlgTimeDetails::ChooseCategory() {
    const int selected = GetSelectedCategoryID();
    CCategory category;
    category.set_ID(selected == CB_ERR ? 0 : selected);
    // Whatever the user did there (added, edited, deleted, cancelled), the list is rebuilt.
    ManageCategories(&category);
    FillCategories(category.get_ID());
}

bool CDlgTimeDetails::OnKillActive() {
    if (!CheckProjectChosen())
        return false;
    return UpdateData(true);
}

void CDlgTimeDetails::OnOK() {
    const int selected = GetSelectedCategoryID();
    // "(deleted category)" left selected keeps the reference (and with it the category the
    // entry was billed under, should it come back with a synchronisation).
    if (selected == 0 && RefersToDeletedCategory())
        return;
    // CB_ERR is no record's ID, so no selection gives the empty reference.
    m_strCategoryRef = GetCurrDataHelper()->ID_To_RefID(selected, u"category");
}

const DeviceLook& CDlgTimeDetails::GetDeviceLook() const {
    static const DeviceLook look{
        .titleId = res::TimeTitle,
        .captions = EntryDeviceCaptions({{"durationButton", devstr::Duration},
                                         {"categoryCombo", devstr::Category},
                                         {"descriptionEdit", devstr::TimeDescription}}),
    };
    return look;
}
