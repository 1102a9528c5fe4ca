#include "ui/qt/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"

namespace {

QMessageBox::StandardButtons ButtonsFor(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_ABORTRETRYIGNORE: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MB_YESNOCANCEL: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO: return QMessageBox::Yes | QMessageBox::No;
    case MB_RETRYCANCEL: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconFor(unsigned flags) {
    switch (flags & MB_ICONMASK) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton DefaultButtonFor(QMessageBox::StandardButtons buttons, unsigned flags) {
    const int wanted = (flags & 0xF00) >> 8;
    int index = 0;
    for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (!(buttons & bit))
            continue;
        if (index == wanted)
            return static_cast<QMessageBox::StandardButton>(bit);
        ++index;
    }
    return QMessageBox::NoButton;
}

}   // namespace

int AnswerFromStandardButton(int standardButton, unsigned flags) {
    switch (standardButton) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Abort: return IDABORT;
    case QMessageBox::Retry: return IDRETRY;
    case QMessageBox::Ignore: return IDIGNORE;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return DefaultMessageBoxAnswer(flags);
    }
}

int ShowQtMessageBox(const CString& text, const CString& caption, unsigned flags) {
    const QMessageBox::StandardButtons buttons = ButtonsFor(flags);
    QMessageBox box(IconFor(flags), qtconv::ToQString(caption), qtconv::ToQString(text), buttons,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("messageBox"));
    // Closing the box with Escape or the title bar must give the cancelling answer.
    const QMessageBox::StandardButton defaultButton = DefaultButtonFor(buttons, flags);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return AnswerFromStandardButton(RunModal(box), flags);
}

MessageBoxHandler InstallQtMessageBoxHandler() { return SetMessageBoxHandler(&ShowQtMessageBox); }
