#include "ui/shared/LockWaitNotice.h"

#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ResStrings.h"

namespace {

QPointer<QLabel>& Note() {
    static QPointer<QLabel> note;
    return note;
}

void Dismiss() {
    if (Note())
        Note()->deleteLater();
    Note() = nullptr;
    QApplication::restoreOverrideCursor();
}

}   // namespace

void CLockWaitNotice::Install() {
    CDataHelper::SetLockWaitHandler([] { Show(); });
}

QString CLockWaitNotice::Text() { return qtconv::ToQString(GetResString(res::WaitingForDataFile, 1)); }

void CLockWaitNotice::Show() {
    if (Note())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The event loop cannot run while the save waits: nothing of the program may run before
    // it lands. So the note is painted at once rather than queued.
    if (QWidget* window = QApplication::activeWindow()) {
        auto* note = new QLabel(Text(), window);
        note->setObjectName(QStringLiteral("lockWaitNotice"));
        note->setWordWrap(true);
        note->setAlignment(Qt::AlignCenter);
        note->setAutoFillBackground(true);
        note->setBackgroundRole(QPalette::ToolTipBase);
        note->setForegroundRole(QPalette::ToolTipText);
        note->setFrameShape(QFrame::Box);
        note->setMargin(6);
        const int width = std::max(window->width() - 16, 1);
        note->setFixedWidth(width);
        note->adjustSize();
        note->move(8, std::max(0, (window->height() - note->height()) / 2));
        note->show();
        note->raise();
        note->repaint();
        Note() = note;
    }
    // Runs once the event loop is back, that is once the waiting save has finished.
    QTimer::singleShot(0, qApp, [] { Dismiss(); });
}

QWidget* CLockWaitNotice::Shown() { return Note(); }
