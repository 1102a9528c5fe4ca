#include "ui/qt/UrlOpener.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/MessageBox.h"
#include "ui/qt/QtConvert.h"

namespace {

constexpr int kOpened = 33;
constexpr int kFileNotFound = 2;
constexpr int kNoAssociation = 31;

UrlOpenHandler& Handler() {
    static UrlOpenHandler handler;
    return handler;
}

// Said when the opener gives up after it was started, so that a file nothing could show is
// not taken for opened; the file stays where it is.
void TellNotOpened(const QUrl& url) {
    const QString text =
        url.isLocalFile()
            ? QStringLiteral(
                  "No application on this computer could open \"%1\". The file is kept there; "
                  "open it with a program of your choice.")
                  .arg(QDir::toNativeSeparators(url.toLocalFile()))
            : QStringLiteral("Unable to open hyperlink:\n\n%1\n\nNo application on this computer could open it.")
                  .arg(url.toString());
    AfxMessageBox(qtconv::FromQString(text), MB_OK | MB_ICONEXCLAMATION);
}

// The opener command line, watched: it may find no application only after it has started.
bool StartWatchedOpener(const QString& opener, const QUrl& url) {
    auto* process = new QProcess(qApp);
    process->setProgram(opener);
    process->setArguments({url.toString()});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, url](int exitCode, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status == QProcess::NormalExit && exitCode != 0)
            TellNotOpened(url);
    });
    process->start();
    if (process->waitForStarted())
        return true;
    delete process;
    return false;
}

int OpenWithDesktop(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid())
        return kFileNotFound;
    // The desktop's opener starts even for a file that is not there and fails later, unseen.
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile())
        return kFileNotFound;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        return StartWatchedOpener(opener, url) ? kOpened : kNoAssociation;
    return QDesktopServices::openUrl(url) ? kOpened : kNoAssociation;
}

}   // namespace

int OpenUrl(const QString& address) { return Handler() ? Handler()(address) : OpenWithDesktop(address); }

UrlOpenHandler SetUrlOpenHandler(UrlOpenHandler handler) {
    UrlOpenHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

int OpenUrlOrReport(const QString& address) {
    const int result = OpenUrl(address);
    if (result <= 32)
        ReportUrlOpenFailure(result);
    return result;
}

void ReportUrlOpenFailure(int result) {
    QApplication::beep();
    const QString text = QStringLiteral("Unable to open hyperlink:\n\n") + UrlOpenErrorText(result);
    AfxMessageBox(qtconv::FromQString(text), MB_OK | MB_ICONEXCLAMATION);
}

QString UrlOpenErrorText(int result) {
    switch (result) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred. ");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral(
            "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(result);
    }
}
