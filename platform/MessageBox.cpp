#include "platform/MessageBox.h"

#include <mutex>

#include "platform/StringTable.h"

namespace {

struct MessageBoxState {
    std::mutex mutex;
    MessageBoxHandler handler;
    CString caption = u"Quillmar";
};

MessageBoxState& State() {
    static MessageBoxState state;
    return state;
}

}   // namespace

int DefaultMessageBoxAnswer(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;   // the box has no Cancel; Abort stops the work
    default: return IDCANCEL;                   // every other box has a Cancel button
    }
}

int MessageBoxWithCaption(const CString& text, const CString& caption, unsigned flags) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(State().mutex);
        handler = State().handler;
    }
    // Called outside the lock: a handler may itself show a box or install another handler.
    return handler ? handler(text, caption, flags) : DefaultMessageBoxAnswer(flags);
}

int AfxMessageBox(const CString& text, unsigned flags) {
    CString caption;
    {
        std::lock_guard lock(State().mutex);
        caption = State().caption;
    }
    return MessageBoxWithCaption(text, caption, flags);
}

int AfxMessageBox(unsigned stringId, unsigned flags) { return AfxMessageBox(StringTable::Get(stringId), flags); }

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(State().mutex);
    MessageBoxHandler previous = std::move(State().handler);
    State().handler = std::move(handler);
    return previous;
}

void SetMessageBoxCaption(const CString& caption) {
    std::lock_guard lock(State().mutex);
    State().caption = caption;
}
