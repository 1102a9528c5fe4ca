#pragma once
// Test support for the device program: the program started over a fresh data file, scripted
// modal dialogs, message boxes and popup menus, record builders and screenshots.
#include <QDialog>
#include <QPoint>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/CString.h"
#include "platform/MessageBox.h"
#include "platform/OleDateTime.h"
#include "ui/qt/ModalDialog.h"

class CListCtrlEx;
class CMainFrame;
class CQuillmarApp;
class CViewByDate;
class QAction;
class QMenu;
class QWidget;

// The data file holds only the three sample records again; the period type is forgotten.
void ResetDeviceData();
// The data file's bytes, to tell whether anything was written.
std::string DataFileContents();

// The device program as main() starts it (settings loaded, main window shown offscreen).
class RunningDevice {
public:
    RunningDevice();
    ~RunningDevice();
    RunningDevice(const RunningDevice&) = delete;
    RunningDevice& operator=(const RunningDevice&) = delete;

    CQuillmarApp& App() { return *m_app; }
    CMainFrame& Frame();
    CViewByDate& View();

private:
    std::unique_ptr<CQuillmarApp> m_app;
};

// The answers the next modal dialogs give, in order; a dialog beyond the script fails the test
// and is cancelled.
class DialogScript {
public:
    using Step = std::function<int(QDialog&)>;
    explicit DialogScript(std::vector<Step> steps);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    int Shown() const { return m_shown; }

private:
    std::deque<Step> m_steps;
    ModalDialogHandler m_previous;
    int m_shown = 0;
};

// Records every message box and answers from the list (then with the default answer).
class MessageBoxScript {
public:
    struct Shown {
        CString text;
        unsigned flags = 0;
    };
    explicit MessageBoxScript(std::vector<int> answers = {});
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;
    const std::vector<Shown>& Messages() const { return m_shown; }

private:
    std::deque<int> m_answers;
    std::vector<Shown> m_shown;
    MessageBoxHandler m_previous;
};

// Answers the next popup menus: records each menu's actions (object name -> enabled) and picks
// the action of that object name, or dismisses the menu for an empty name.
class PopupScript {
public:
    explicit PopupScript(std::vector<QString> picks);
    ~PopupScript();
    PopupScript(const PopupScript&) = delete;
    PopupScript& operator=(const PopupScript&) = delete;
    int Shown() const { return m_shown; }
    // Whether the last menu's action of that object name was enabled (false when absent).
    bool WasEnabled(const QString& objectName) const;
    QStringList LastTexts() const { return m_lastTexts; }

private:
    std::deque<QString> m_picks;
    std::vector<std::pair<QString, bool>> m_last;
    QStringList m_lastTexts;
    int m_shown = 0;
};

// The entries list as the tests read and touch it.
// The entry IDs of the rows, top to bottom, paid ones without their sign.
std::vector<int> ListedEntryIds(const CListCtrlEx& list);
// The row of the entry, paid or not; -1 when it is not listed.
int RowOfEntry(const CListCtrlEx& list, int id);
// The middle of the entry's row, in the list's viewport.
QPoint EntryRowCentre(CListCtrlEx& list, int id);
// A tap in the middle of the column's header, as the user sorts.
void TapHeader(CListCtrlEx& list, int column);

// Sheet buttons as the user presses them.
int PressSheetOk(QDialog& dialog);
int PressDialogOk(QDialog& dialog);
int Cancel(QDialog& dialog);

// Record builders (saved in the data store); return the new record's ID.
int AddClient(const CString& name);
int AddProject(const CString& name, const CString& clientRef);
int AddCategory(const CString& name, const CString& code, float rate);
int AddTimeEntry(const COleDateTime& date, const CString& projectRef, int minutes, float amount, int paymentStatus);
CString RefIdOf(int id, const CString& elemName);

// Writes a PNG of the widget to /tmp/quillmar-device-shots/<name>.png when QUILLMAR_SCREENSHOTS
// is set (the widget is shown and laid out first).
void MaybeScreenshot(QWidget& widget, const char* name);

QString Text(const CString& text);
void PrintTo(const CString& text, std::ostream* out);
