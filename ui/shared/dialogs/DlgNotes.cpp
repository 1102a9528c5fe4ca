#include "ui/shared/dialogs/DlgNotes.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/qt/DataExchange.h"

CDlgNotes::CDlgNotes(QWidget* parent) : CPropertyPage(u"Notes", parent) {}

void CDlgNotes::CreateControls() {
    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("notesEdit"));
    m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_notes->setTabChangesFocus(true);
    m_notes->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_notes);
}

void CDlgNotes::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, m_notes, m_strNotes); }

bool CDlgNotes::eventFilter(QObject* watched, QEvent* event) {
    // Tabbing into the page must not select the whole text the user is about to add to.
    if (watched == m_notes && event->type() == QEvent::FocusIn) {
        QTextCursor cursor = m_notes->textCursor();
        cursor.clearSelection();
        m_notes->setTextCursor(cursor);
        m_notes->ensureCursorVisible();
    }
    return CPropertyPage::eventFilter(watched, event);
}

const DeviceLook& CDlgNotes::GetDeviceLook() const {
    static const DeviceLook look{};
    return look;
}
