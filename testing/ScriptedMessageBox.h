#pragma once
// Message boxes answered from a script through the message-box hook, while the object lives;
// the handler it replaced comes back at the end. Every box shown is recorded. A box with no
// scripted answer left gets the cancelling answer and counts as unexpected, or, for tests
// that confirm whatever is asked, the proceeding one (Yes, OK, Retry).
#include <deque>
#include <vector>

#include "platform/CString.h"
#include "platform/MessageBox.h"

class ScriptedMessageBox {
public:
    enum class Unscripted { Cancel, Confirm };
    struct Shown {
        CString text;
        CString caption;
        unsigned flags;
    };

    explicit ScriptedMessageBox(Unscripted unscripted = Unscripted::Cancel);
    ~ScriptedMessageBox();
    ScriptedMessageBox(const ScriptedMessageBox&) = delete;
    ScriptedMessageBox& operator=(const ScriptedMessageBox&) = delete;

    // The answer to the next box not yet answered (IDYES, IDNO, ...).
    void Answer(int answer) { m_answers.push_back(answer); }
    const std::vector<Shown>& ShownBoxes() const { return m_shown; }
    // Boxes shown with no scripted answer left.
    int Unexpected() const { return m_unexpected; }
    size_t PendingAnswers() const { return m_answers.size(); }

    // The proceeding answer of a box with these flags.
    static int ConfirmingAnswer(unsigned flags);

private:
    int Show(const CString& text, const CString& caption, unsigned flags);

    Unscripted m_unscripted;
    MessageBoxHandler m_previous;
    std::deque<int> m_answers;
    std::vector<Shown> m_shown;
    int m_unexpected = 0;
};
