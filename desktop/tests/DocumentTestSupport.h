#pragma once
// Support for the tests of what the desktop program writes (exports, reports, invoices): a
// fresh data file on a fixed day in United States formats, the file and print dialogs
// answered, and the files read back, PDFs as text.
#include <QByteArray>
#include <QString>

#include "desktop/tests/DesktopTestSupport.h"
#include "platform/OleDateTime.h"
#include "testing/SettableClock.h"

namespace testsupport {

// A first start's data file with the program's strings registered, English (United States)
// formats and the clock set to `now`; the formats and the clock are put back when it goes.
class FixedDay {
public:
    explicit FixedDay(const COleDateTime& now);
    ~FixedDay();
    FixedDay(const FixedDay&) = delete;
    FixedDay& operator=(const FixedDay&) = delete;
    // The data file was made and loaded.
    bool Ready() const { return m_ready; }

private:
    SettableClock m_clock;
    bool m_ready = false;
};

// The bytes of a file; empty when it cannot be read.
QByteArray FileBytes(const QString& path);

// The save-file dialog's answer: `path` typed and Save pressed. Any other dialog is cancelled.
DialogScript::Step SaveFileAs(const QString& path);
// The print dialog's answer: a PDF file at `path` as the printer, and Print pressed. Any other
// dialog is cancelled.
DialogScript::Step PrintToPdf(const QString& path);
// Any dialog cancelled.
DialogScript::Step Cancel();

// Whether pdftotext is installed; the tests that read PDFs skip without it.
bool HavePdfToText();
// The PDF's text as pdftotext lays it out, ligatures ("ﬁ") as the letters they join; empty
// when pdftotext is missing or fails.
QString PdfText(const QString& path);

}   // namespace testsupport
