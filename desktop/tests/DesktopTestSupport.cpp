#include "desktop/tests/DesktopTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/TimerStateFile.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ViewByDate.h"
#include "platform/Registry.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/PopupMenu.h"

namespace testsupport {

namespace {
QTemporaryDir& Root() {
    static QTemporaryDir root;
    return root;
}

void SetFolder(const char* variable, const QString& path) {
    QDir().mkpath(path);
    qputenv(variable, path.toUtf8());
}
}   // namespace

void SetUpEnvironment() {
    const QString root = Root().path();
    SetFolder("HOME", root + "/home");
    SetFolder("XDG_CONFIG_HOME", root + "/home/.config");
    SetFolder("XDG_DATA_HOME", root + "/home/.local/share");
    SetFolder("XDG_RUNTIME_DIR", root + "/runtime");
    QFile::setPermissions(root + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    SetFolder("QUILLMAR_DATA_DIR", root + "/data");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C");
}

QString DataFolder() { return QString::fromLocal8Bit(qgetenv("QUILLMAR_DATA_DIR")); }

void ResetUserData() {
    QFile::remove(QString::fromStdString(Registry::FilePath()));
    QFile::remove(QString::fromStdString(CTimerStateFile::DefaultPath()));
    Registry::Reload();
    QDir data(DataFolder());
    for (const QString& name : data.entryList(QDir::Files))
        data.remove(name);
}

MessageBoxScript::MessageBoxScript(std::vector<int> answers) : m_answers(answers.begin(), answers.end()) {
    m_previous = SetMessageBoxHandler([this](const CString& text, const CString&, unsigned flags) {
        m_shown.push_back({text, flags});
        if (m_answers.empty())
            return DefaultMessageBoxAnswer(flags);
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

MessageBoxScript::~MessageBoxScript() { SetMessageBoxHandler(std::move(m_previous)); }

DialogScript::DialogScript(std::vector<Step> steps) : m_steps(steps.begin(), steps.end()) {
    m_previous = SetModalDialogHandler([this](QDialog& dialog) {
        ++m_shown;
        m_names.push_back(dialog.objectName());
        if (m_steps.empty()) {
            ++m_unexpected;
            return static_cast<int>(QDialog::Rejected);
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        return step(dialog);
    });
}

DialogScript::~DialogScript() { SetModalDialogHandler(std::move(m_previous)); }

PopupScript::PopupScript(QString choose) : m_choose(std::move(choose)) {
    SetPopupMenuHandler([this](QMenu& menu, const QPoint&) -> QAction* {
        ++m_shown;
        m_lastActions.clear();
        QAction* chosen = nullptr;
        for (QAction* action : menu.actions()) {
            if (action->isSeparator())
                continue;
            m_lastActions.emplace_back(action->objectName(), action->isEnabled());
            if (!m_choose.isEmpty() && action->objectName() == m_choose)
                chosen = action;
        }
        return chosen;
    });
}

PopupScript::~PopupScript() { SetPopupMenuHandler(nullptr); }

bool PopupScript::WasEnabled(const QString& objectName) const {
    for (const auto& [name, enabled] : m_lastActions) {
        if (name == objectName)
            return enabled;
    }
    return false;
}

int PressOk(QDialog& dialog) {
    if (auto* sheet = dynamic_cast<CPropertySheetEx*>(&dialog)) {
        sheet->PressOK();
        return dialog.result();
    }
    if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) {
            ok->click();
            return dialog.result();
        }
    }
    dialog.accept();
    return dialog.result();
}

std::unique_ptr<CQuillmarApp> StartProgram() {
    auto app = std::make_unique<CQuillmarApp>();
    if (!app->InitInstance())
        return nullptr;
    QApplication::processEvents();
    return app;
}

void StopProgram(std::unique_ptr<CQuillmarApp>& app) {
    if (!app)
        return;
    if (CMainFrame* frame = app->GetMainFrame())
        frame->close();
    app->ExitInstance();
    app.reset();
    QApplication::processEvents();
}

bool ProgramTest::StartFresh() {
    ResetUserData();
    m_app = StartProgram();
    return m_app != nullptr;
}

bool ProgramTest::Restart() {
    StopProgram(m_app);
    m_app = StartProgram();
    return m_app != nullptr;
}

CMainFrame& ProgramTest::Frame() { return *m_app->GetMainFrame(); }

CViewByDate& ProgramTest::View() { return *Frame().GetEntriesView(); }

CListCtrlEx& ProgramTest::List() { return *View().GetListCtrl(); }

std::vector<int> ProgramTest::Rows() {
    std::vector<int> ids;
    for (int row = 0; row < List().topLevelItemCount(); ++row)
        ids.push_back(std::abs(List().GetRowValue(row)));
    return ids;
}

void ProgramTest::ClickHeader(int column) {
    QHeaderView* header = List().header();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

int AddClient(const CString& name) {
    CClient client;
    client.set_Description(name);
    client.Save();
    return client.get_ID();
}

CString RefIdOf(int id, const CString& elemName) { return GetCurrDataHelper()->ID_To_RefID(id, elemName); }

int AddProject(const CString& name, int clientId) {
    CProject project;
    project.set_Description(name);
    if (clientId != 0)
        project.set_ClientRef(RefIdOf(clientId, u"client"));
    project.Save();
    return project.get_ID();
}

int AddEntry(int itemType, const COleDateTime& date, int projectId, float amount, int paid) {
    CProjectItem entry;
    entry.set_ItemType(static_cast<CProjectItem::ItemType>(itemType));
    entry.set_Description(u"Work");
    entry.set_ItemDate(date);
    if (projectId != 0)
        entry.set_ProjectRef(RefIdOf(projectId, u"project"));
    entry.set_BillAmount(amount);
    if (paid)
        entry.set_PymtStatus(CProjectItem::PymtStatus_Paid);
    entry.Save();
    return entry.get_ID();
}

bool Trigger(CMainFrame& frame, unsigned commandId) {
    QAction* action = frame.findChild<QAction*>(QStringLiteral("cmd%1").arg(commandId));
    if (!action)
        return false;
    frame.UpdateCommandUI();
    action->trigger();
    return true;
}

bool IsEnabled(CMainFrame& frame, unsigned commandId) {
    frame.UpdateCommandUI();
    QAction* action = frame.findChild<QAction*>(QStringLiteral("cmd%1").arg(commandId));
    return action && action->isEnabled();
}

bool IsChecked(CMainFrame& frame, unsigned commandId) {
    frame.UpdateCommandUI();
    QAction* action = frame.findChild<QAction*>(QStringLiteral("cmd%1").arg(commandId));
    return action && action->isChecked();
}

}   // namespace testsupport
