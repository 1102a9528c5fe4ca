#include "ui/shared/dialogs/DlgEntryDetailsBase.h"

#include <memory>

#include <QCompleter>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/MessageBox.h"
#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/DeviceStrings.h"
#include "ui/shared/ProjectNames.h"
#include "ui/shared/dialogs/DialogLayout.h"
#include "ui/shared/dialogs/SelectProject.h"

CDlgEntryDetailsBase::CDlgEntryDetailsBase(QWidget* parent) : CPropertyPage(u"Details", parent) {}

void CDlgEntryDetailsBase::CreateCommonControls(QGridLayout* grid, int projectRow) {
    m_date = Named(MakeDatePicker(this), "dateEdit");
    grid->addWidget(MakeBuddyLabel(tr("&Date:"), m_date, this), 0, 0);
    grid->addWidget(m_date, 0, 1, 1, 2);

    m_project = Named(new QLineEdit(this), "projectText");
    // Typing part of a client's or project's name offers the projects that hold it.
    m_projectNames = CProjectNames::FromStore();
    auto* completer = new CFoldingCompleter(m_projectNames.Names(), m_project);
    m_project->setCompleter(completer);
    connect(completer, qOverload<const QString&>(&QCompleter::activated), this, [this] { TakeTypedProject(); });
    connect(m_project, &QLineEdit::editingFinished, this, [this] { TakeTypedProject(); });
    m_projectButton = MakeEllipsisButton(this, "projectButton");
    grid->addWidget(MakeBuddyLabel(tr("&Project:"), m_projectButton, this), projectRow, 0);
    grid->addWidget(m_project, projectRow, 1);
    grid->addWidget(m_projectButton, projectRow, 2);
    connect(m_projectButton, &QPushButton::clicked, this, [this] { ChooseProject(); });

    m_description = Named(new QPlainTextEdit(this), "descriptionEdit");
    m_description->setTabChangesFocus(true);
}

bool CDlgEntryDetailsBase::OnInitDialog() {
    ShowProjectName();
    return CPropertyPage::OnInitDialog();
}

void CDlgEntryDetailsBase::DoDataExchange(CDataExchange* pDX) {
    DDX_DateTimeCtrl(pDX, m_date, m_ItemDate);
    DDX_Text(pDX, m_description, m_strDescription);
    DDV_MaxChars(pDX, m_strDescription, kDescriptionLimit);
}

void CDlgEntryDetailsBase::ShowProjectName() {
    if (m_project == nullptr)
        return;
    m_project->setText(qtconv::ToQString(FormatProjectName(m_strProjectRef)));
    // Show the start of a long name (the client's), not its end.
    m_project->setCursorPosition(0);
}

bool CDlgEntryDetailsBase::ChooseProject() {
    // The picker highlights the project whose RefID it is given.
    CProject project;
    project.set_RefID(m_strProjectRef);
    if (!SelectProject(&project))
        return false;
    m_strProjectRef = project.get_RefID();
    ShowProjectName();
    return true;
}

bool CDlgEntryDetailsBase::TakeTypedProject() {
    const CString found = m_projectNames.Find(m_project->text());
    if (!found.IsEmpty())
        m_strProjectRef = found;
    // A text that names no single project leaves the chosen one as it was, and shows it.
    ShowProjectName();
    return !found.IsEmpty();
}

bool CDlgEntryDetailsBase::CheckProjectChosen() const {
    if (!m_strProjectRef.IsEmpty())
        return true;
    AfxMessageBox(GetResString(27, 1), MB_OK);
    return false;
}

std::vector<DeviceLook::Caption> CDlgEntryDetailsBase::EntryDeviceCaptions(std::vector<DeviceLook::Caption> more) {
    std::vector<DeviceLook::Caption> captions = {{"dateEdit", devstr::Date}, {"projectButton", devstr::Project}};
    captions.insert(captions.end(), more.begin(), more.end());
    return captions;
}
