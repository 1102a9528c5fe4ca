#include "device/dialogs/DlgPairDesktop.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/SharedSettings.h"

namespace {

constexpr int kServiceAnswerMs = 5000;
constexpr char kStartHint[] =
    "The connection service is not running, so the desktop cannot reach this device.\n\n"
    "Start it with:\n  systemctl --user start quillmar-connectd\n"
    "or, to start it at every login:\n  systemctl --user enable --now quillmar-connectd\n\n"
    "Then choose Refresh.";

QString& ServiceProgramOverride() {
    static QString path;
    return path;
}

bool Executable(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The pairing text, or empty with `why` set.
QString AskService(QString& why) {
    const QString program = CDlgPairDesktop::ServiceProgram();
    if (program.isEmpty()) {
        why = QString::fromLatin1(kStartHint);
        return QString();
    }
    QProcess process;
    process.start(program, {QStringLiteral("--pairing-text")});
    if (!process.waitForFinished(kServiceAnswerMs)) {
        process.kill();
        process.waitForFinished(kServiceAnswerMs);
        why = QStringLiteral("The connection service did not answer. Try Refresh.");
        return QString();
    }
    const QString text = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || text.isEmpty()) {
        why = QString::fromLatin1(kStartHint);
        return QString();
    }
    return text;
}

}   // namespace

CDlgPairDesktop::CDlgPairDesktop(QWidget* parent)
    : QDialog(parent), m_text(new QLabel), m_sync(new QLabel), m_copy(new QPushButton(QStringLiteral("&Copy"))) {
    setObjectName(QStringLiteral("dlgPairDesktop"));
    setWindowTitle(QStringLiteral("Pair with Desktop"));
    m_text->setObjectName(QStringLiteral("pairText"));
    m_sync->setObjectName(QStringLiteral("pairSyncState"));
    m_copy->setObjectName(QStringLiteral("pairCopy"));
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_sync->setWordWrap(true);

    auto* intro =
        new QLabel(QStringLiteral("On the desktop, choose Tools > Pair with Device and paste this text there:"));
    intro->setWordWrap(true);
    auto* refresh = new QPushButton(QStringLiteral("&Refresh"));
    refresh->setObjectName(QStringLiteral("pairRefresh"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    connect(m_copy, &QPushButton::clicked, this, &CDlgPairDesktop::Copy);
    connect(refresh, &QPushButton::clicked, this, &CDlgPairDesktop::Reload);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_copy);
    buttons->addWidget(refresh);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_sync);
    layout->addLayout(buttons);
    Reload();
}

void CDlgPairDesktop::SetServiceProgram(const QString& path) { ServiceProgramOverride() = path; }

QString CDlgPairDesktop::ServiceProgram() {
    if (!ServiceProgramOverride().isEmpty())
        return ServiceProgramOverride();
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {here.filePath(QStringLiteral("quillmar-connectd")),
                                     here.filePath(QStringLiteral("../bin/quillmar-connectd"))}) {
        if (Executable(candidate))
            return QDir::cleanPath(candidate);
    }
    return QStandardPaths::findExecutable(QStringLiteral("quillmar-connectd"));
}

void CDlgPairDesktop::Reload() {
    QString why;
    m_pairingText = AskService(why);
    QFont font = m_text->font();
    if (m_pairingText.isEmpty()) {
        font.setFamily(QString());
        font.setPointSizeF(QFont().pointSizeF());
        m_text->setFont(font);
        m_text->setText(why);
    } else {
        // Large and fixed-width, so each digit of the key can be told apart when typed.
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSizeF(QFont().pointSizeF() * 1.5);
        m_text->setFont(font);
        // Break anywhere: the text has no spaces but must fit a narrow screen.
        QString wrappable;
        for (const QChar c : m_pairingText)
            wrappable += QString(c) + QChar(0x200B);
        m_text->setText(wrappable);
    }
    m_copy->setEnabled(!m_pairingText.isEmpty());
    m_sync->setText(SyncStateText());
}

void CDlgPairDesktop::Copy() {
    if (!m_pairingText.isEmpty())
        QGuiApplication::clipboard()->setText(m_pairingText);
}

namespace {

// When the last synchronisation finished on this device, as the program noted it; a data file's
// own "lastSync" cannot tell, since a new file starts with one.
constexpr const char16_t* kLastSyncSetting = u"LastSuccessfulSync";

// "Dec 8, 2026 7:40 PM" in the user's time format; empty when there was none.
QString LastSyncTime() {
    const CString noted = Registry::GetString(CSharedSettings::kSettingsKey, kLastSyncSetting, CString());
    const COleDateTime when = CDateTimeFormatter::GetDateTimeFromDB(noted);
    if (noted.IsEmpty() || when.GetStatus() != COleDateTime::valid)
        return QString();
    return qtconv::ToQString(
        CDateTimeFormatter::CreateCustomDateFormat(when, u"MMM d, yyyy", 64) + u" " +
        CDateTimeFormatter::CreateCustomTimeFormat(when, CDateTimeFormatter::GetTimeCtrlFmtNoSeconds(), 64));
}

bool ChangeFilesPresent(CDataHelper& store) {
    for (const CString& path : {store.GetOwnChangeFilePath(), store.GetOtherChangeFilePath()}) {
        if (!path.IsEmpty() && QFile::exists(qtconv::ToQString(path)))
            return true;
    }
    return false;
}

}   // namespace

QString CDlgPairDesktop::SyncStateLine() {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return QString();
    if (ChangeFilesPresent(*store))
        return QStringLiteral("Synchronizing (or unfinished)");
    const QString when = LastSyncTime();
    return when.isEmpty() ? QStringLiteral("Not synchronized yet") : QStringLiteral("Last sync: %1").arg(when);
}

void CDlgPairDesktop::NoteSyncDone(const COleDateTime& when) {
    // A convenience: a registry that cannot be written loses only this line's text.
    Registry::SetString(CSharedSettings::kSettingsKey, kLastSyncSetting,
                        CDateTimeFormatter::FormatDateTimeForDB(when));
}

QString CDlgPairDesktop::SyncStateText() {
    CDataHelper* store = GetCurrDataHelper();
    if (!store)
        return QString();
    if (ChangeFilesPresent(*store))
        return QStringLiteral(
            "Synchronizing with the desktop now (or a synchronization stopped before it "
            "finished; the next one completes it).");
    const QString when = LastSyncTime();
    return when.isEmpty() ? QStringLiteral("Not synchronized with a desktop yet.")
                          : QStringLiteral("Last synchronized: %1").arg(when);
}
