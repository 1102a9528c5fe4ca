#include "desktop/Icons.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QSvgRenderer>

#include "desktop/CommandIds.h"
#include "desktop/CommandTable.h"
#include "platform/Library.h"

namespace {

QStyle::StandardPixmap FallbackFor(unsigned commandId)
{
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

QIcon IconFromSvg(const QByteArray& svg)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return QIcon();
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ResLibraryIcon(const Library* library, unsigned id)
{
    const std::string svg = LoadIconSvg(library, id);
    if (svg.empty())
        return QIcon();
    return IconFromSvg(QByteArray::fromStdString(svg));
}

QIcon ProgramIcon(unsigned id)
{
    QFile file(QStringLiteral(":/icons/%1.svg").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return QIcon();
    return IconFromSvg(file.readAll());
}

QIcon CommandIcon(const Library* library, unsigned commandId)
{
    const CommandInfo* info = FindCommand(commandId);
    if (!info || info->iconId == 0)
        return QIcon();
    QIcon icon = info->iconFromResLibrary ? ResLibraryIcon(library, info->iconId) : ProgramIcon(info->iconId);
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(FallbackFor(commandId));
    return icon;
}
