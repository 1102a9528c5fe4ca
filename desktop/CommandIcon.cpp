#include "desktop/CommandIcon.h"

#include <QApplication>
#include <QStyle>

#include "desktop/CommandIds.h"
#include "desktop/CommandTable.h"
#include "ui/shared/Icons.h"

namespace {

QStyle::StandardPixmap FallbackFor(unsigned commandId) {
    switch (commandId) {
    case cmd::EditDelete: return QStyle::SP_DialogDiscardButton;
    case cmd::ViewRefresh: return QStyle::SP_BrowserReload;
    case cmd::PreviousPeriod: return QStyle::SP_ArrowBack;
    case cmd::NextPeriod: return QStyle::SP_ArrowForward;
    case cmd::Today: return QStyle::SP_DialogApplyButton;
    case cmd::AppAbout: return QStyle::SP_MessageBoxInformation;
    case cmd::ExportData: return QStyle::SP_DialogSaveButton;
    case cmd::NewClient:
    case cmd::NewProject: return QStyle::SP_FileDialogNewFolder;
    default: return QStyle::SP_FileIcon;
    }
}

}   // namespace

QIcon CommandIcon(const Library* library, unsigned commandId) {
    const CommandInfo* info = FindCommand(commandId);
    if (!info || info->iconId == 0)
        return QIcon();
    QIcon icon = info->iconFromResLibrary ? ResLibraryIcon(library, info->iconId) : ProgramIcon(info->iconId);
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(FallbackFor(commandId));
    return icon;
}
