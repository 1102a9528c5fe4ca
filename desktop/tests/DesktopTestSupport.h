#pragma once
// Support for the desktop program's tests: a private HOME with its XDG folders and data
// folder, scripted message boxes, dialogs and context menus, and records made for a test.
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QDialog>
#include <QObject>
#include <QString>

#include "platform/CString.h"
#include "platform/MessageBox.h"
#include "platform/OleDateTime.h"
#include "ui/qt/ModalDialog.h"

class CListCtrlEx;
class CQuillmarApp;
class CMainFrame;
class CViewByDate;
class QAction;
class QMenu;

namespace testsupport {

// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR and QUILLMAR_DATA_DIR at a new
// temporary folder (kept for the process) and selects the offscreen platform. Call first in main.
void SetUpEnvironment();
// Forgets the registry and the data file, so the next start is a first start.
void ResetUserData();
QString DataFolder();

// Message boxes: every one is recorded and answered from the list, then with the default.
struct ShownMessage {
    CString text;
    unsigned flags = 0;
};
class MessageBoxScript {
public:
    explicit MessageBoxScript(std::vector<int> answers = {});
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;
    const std::vector<ShownMessage>& Shown() const { return m_shown; }

private:
    std::deque<int> m_answers;
    std::vector<ShownMessage> m_shown;
    MessageBoxHandler m_previous;
};

// Modal dialogs: each step answers one dialog in order; a dialog beyond the script is
// cancelled and counted in Unexpected().
class DialogScript {
public:
    using Step = std::function<int(QDialog&)>;
    explicit DialogScript(std::vector<Step> steps);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    int Shown() const { return m_shown; }
    int Unexpected() const { return m_unexpected; }
    std::vector<QString> ObjectNames() const { return m_names; }

private:
    std::deque<Step> m_steps;
    ModalDialogHandler m_previous;
    int m_shown = 0;
    int m_unexpected = 0;
    std::vector<QString> m_names;
};

// Context menus: records each menu's actions and chooses the one with `objectName`
// (none, for a dismissed menu).
class PopupScript {
public:
    explicit PopupScript(QString choose);
    ~PopupScript();
    PopupScript(const PopupScript&) = delete;
    PopupScript& operator=(const PopupScript&) = delete;
    int Shown() const { return m_shown; }
    // Enabled state of the last menu's actions by object name.
    bool WasEnabled(const QString& objectName) const;

private:
    QString m_choose;
    int m_shown = 0;
    std::vector<std::pair<QString, bool>> m_lastActions;
};

// Presses the dialog's OK button (a property sheet's OK, or the Ok of its button box) and
// returns the dialog's result, as a user's click would end it.
int PressOk(QDialog& dialog);

// The program started as main() starts it; nullptr when start-up failed.
std::unique_ptr<CQuillmarApp> StartProgram();
// Ends it as closing the main window does.
void StopProgram(std::unique_ptr<CQuillmarApp>& app);

// Base of the test objects that run the program for every case: init() calls StartFresh,
// cleanup() StopProgram(m_app); the cases reach the program's parts through the accessors.
class ProgramTest : public QObject {
protected:
    // Forgets the user data and starts the program; false when start-up failed.
    bool StartFresh();
    // Ends the program and starts it again over the same settings and data file.
    bool Restart();
    CMainFrame& Frame();
    CViewByDate& View();
    CListCtrlEx& List();
    // The entry IDs of the entries list's rows, top to bottom, paid ones without their sign.
    std::vector<int> Rows();
    // A click in the middle of the column's header, as the user sorts.
    void ClickHeader(int column);

    std::unique_ptr<CQuillmarApp> m_app;
};

// Records saved in the data store; each returns the new record's ID.
int AddClient(const CString& name);
int AddProject(const CString& name, int clientId);   // clientId 0: no client
CString RefIdOf(int id, const CString& elemName);
int AddEntry(int itemType, const COleDateTime& date, int projectId, float amount, int paid = 0);

// Triggers a command's action by object name ("cmd<id>"); false when it is not found.
bool Trigger(CMainFrame& frame, unsigned commandId);
bool IsEnabled(CMainFrame& frame, unsigned commandId);
bool IsChecked(CMainFrame& frame, unsigned commandId);

}   // namespace testsupport

// Sets the environment up before Qt starts, then runs the test object.
#define DESKTOP_TEST_MAIN(TestClass)            \
    int main(int argc, char** argv) {           \
        testsupport::SetUpEnvironment();        \
        QApplication application(argc, argv);   \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }
