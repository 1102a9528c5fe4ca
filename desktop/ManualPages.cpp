#include "desktop/ManualPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "desktop/CommandIds.h"
#include "desktop/MainFrame.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/SharedSettings.h"

namespace {

// Beside an installed program the manual lies in ../share/quillmar/manual; the build copies it
// to the same place relative to its bin folder, so both are found the same way.
QStringList CandidateFolders() {
    QStringList folders;
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.isEmpty())
        folders << QDir(programFolder).filePath(QStringLiteral("../share/quillmar/manual"));
    folders << QStringLiteral(QUILLMAR_MANUAL_INSTALL_DIR);
    return folders;
}

bool HoldsManual(const QString& folder) {
    return QFileInfo(QDir(folder).filePath(QString::fromLatin1(CManualPages::kHome))).isFile();
}

}   // namespace

QString CManualPages::PageFor(unsigned commandId) {
    switch (commandId) {
    case cmd::HelpWeb: return QString::fromLatin1(kHome);
    case cmd::HelpUpgrade: return QStringLiteral("history.html#v") + CMainFrame::VersionText();
    case cmd::HelpSupport: return QString::fromLatin1(kSupport);
    case cmd::HelpFaq: return QStringLiteral("faq.html");
    case cmd::HelpForum: return QString::fromLatin1(kMoreHelp);
    default: return QString();
    }
}

QString CManualPages::LocalFolder() {
    for (const QString& folder : CandidateFolders()) {
        if (HoldsManual(folder))
            return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    }
    return QString();
}

QString CManualPages::HostedAddress() {
    const CString site = Registry::GetString(CSharedSettings::kSettingsKey, kAddressSetting, CString());
    return qtconv::ToQString(site).trimmed();
}

QString CManualPages::Address(const QString& page) {
    const QString site = HostedAddress();
    if (!site.isEmpty())
        return site.endsWith(QLatin1Char('/')) ? site + page : site + QLatin1Char('/') + page;
    QString folder = LocalFolder();
    if (folder.isEmpty())
        folder = QStringLiteral(QUILLMAR_MANUAL_INSTALL_DIR);
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(QDir(folder).filePath(hash < 0 ? page : page.left(hash)));
    if (hash >= 0)
        url.setFragment(page.mid(hash + 1));
    return url.toString();
}
