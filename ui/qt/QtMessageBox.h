#pragma once
// The Qt implementation of the platform's message boxes (platform/MessageBox.h). Each box is a
// QMessageBox run through RunModal (ModalDialog.h), so a test's modal-dialog handler sees it
// and answers with the QMessageBox::StandardButton it would have clicked.
#include "platform/MessageBox.h"

class QMessageBox;

// Installs the Qt handler; returns the handler it replaced.
MessageBoxHandler InstallQtMessageBoxHandler();

// Shows one box the way the installed handler does (for callers that need it directly).
int ShowQtMessageBox(const CString& text, const CString& caption, unsigned flags);

// The answer (IDOK, IDYES...) that a QMessageBox::StandardButton stands for; IDCANCEL for
// anything the box does not offer.
int AnswerFromStandardButton(int standardButton, unsigned flags);
