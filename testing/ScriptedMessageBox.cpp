#include "testing/ScriptedMessageBox.h"

ScriptedMessageBox::ScriptedMessageBox(Unscripted unscripted) : m_unscripted(unscripted) {
    m_previous = SetMessageBoxHandler(
        [this](const CString& text, const CString& caption, unsigned flags) { return Show(text, caption, flags); });
}

ScriptedMessageBox::~ScriptedMessageBox() { SetMessageBoxHandler(std::move(m_previous)); }

int ScriptedMessageBox::ConfirmingAnswer(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_RETRYCANCEL:
    case MB_ABORTRETRYIGNORE: return IDRETRY;
    default: return IDOK;
    }
}

int ScriptedMessageBox::Show(const CString& text, const CString& caption, unsigned flags) {
    m_shown.push_back({text, caption, flags});
    if (!m_answers.empty()) {
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    ++m_unexpected;
    return m_unscripted == Unscripted::Confirm ? ConfirmingAnswer(flags) : DefaultMessageBoxAnswer(flags);
}
