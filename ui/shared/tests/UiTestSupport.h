#pragma once
// Test support for the shared lists and dialogs: scripted modal dialogs and message boxes, a
// fresh data store and small record builders.
#include <QDialog>
#include <QString>
#include <QWidget>

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/CString.h"
#include "platform/MessageBox.h"
#include "platform/OleDateTime.h"
#include "ui/qt/ModalDialog.h"

class CPropertySheetEx;
class CProjectItem;

// The answers the next modal dialogs give, in order. A dialog beyond the script fails the
// test and is cancelled.
class DialogScript {
public:
    using Step = std::function<int(QDialog&)>;
    explicit DialogScript(std::vector<Step> steps);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    int Shown() const { return m_shown; }
    size_t Remaining() const { return m_steps.size(); }

private:
    std::deque<Step> m_steps;
    ModalDialogHandler m_previous;
    int m_shown = 0;
};

struct ShownMessage {
    CString text;
    unsigned flags = 0;
};

// Records every message box and answers from the list (then the default answer).
class MessageBoxScript {
public:
    explicit MessageBoxScript(std::vector<int> answers = {});
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;

    const std::vector<ShownMessage>& Shown() const { return m_shown; }
    // True when exactly one message was shown and it is resource string `id`.
    bool ShownOnly(unsigned resourceId) const;
    bool ShownOnlyText(const CString& text) const;
    void Clear() { m_shown.clear(); }

private:
    std::deque<int> m_answers;
    std::vector<ShownMessage> m_shown;
    MessageBoxHandler m_previous;
};

// The data store over a new data file holding only the three sample records.
void ResetDataStore();
// Size and bytes of the data file, to tell whether it was written.
std::string DataFileContents();

template <typename W>
W* FindIn(QWidget& root, const char* objectName) {
    return root.findChild<W*>(QString::fromLatin1(objectName));
}

// The sheet's OK button as the user presses it; the result of the dialog's exec.
int PressSheetOk(QDialog& dialog);
int PressSheetCancel(QDialog& dialog);
CPropertySheetEx& AsSheet(QDialog& dialog);

// Record builders (saved in the data store); return the new record's ID.
int AddCategory(const CString& name, const CString& code, float rate);
int AddClient(const CString& name);
int AddProject(const CString& name, const CString& clientRef);
// An entry of the type (1 time, 2 mileage, 3 expense) described "Work"; paid when `paid` is set.
int AddEntry(int itemType, const COleDateTime& date, int projectId, float amount, int paid = 0);
CString RefIdOf(int id, const CString& elemName);

// Writes a PNG of the widget under /tmp/quillmar-dialogs/ when QUILLMAR_SCREENSHOTS is set.
void MaybeScreenshot(QWidget& widget, const char* name);

QString Text(const CString& text);

// Readable CString values in test failure messages.
void PrintTo(const CString& text, std::ostream* out);
