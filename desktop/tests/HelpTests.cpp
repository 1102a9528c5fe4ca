// The Help menu and the About box: each opens its page of the user manual, found beside the
// build tree's programs as beside installed ones; a page that does not open is explained.
#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <QtTest>

#include "desktop/AboutDlg.h"
#include "desktop/CommandIds.h"
#include "desktop/HyperLink.h"
#include "desktop/MainFrame.h"
#include "desktop/ManualPages.h"
#include "desktop/QuillmarApp.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/UrlOpener.h"
#include "ui/shared/SharedSettings.h"

using namespace testsupport;

namespace {

const QString kNotFound = QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found.");

// The local file an address names; empty when it names none or the file is not there.
QString ExistingLocalFile(const QString& address) {
    const QUrl url(address);
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile())
        return QString();
    return url.toLocalFile();
}

bool PageHasAnchor(const QString& address) {
    const QUrl url(address);
    QFile page(url.toLocalFile());
    if (!page.open(QIODevice::ReadOnly))
        return false;
    return QString::fromUtf8(page.readAll()).contains(QStringLiteral("id=\"%1\"").arg(url.fragment()));
}

}   // namespace

class HelpTests : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CQuillmarApp> m_app;
    QStringList m_opened;
    CMainFrame& Frame() { return *m_app->GetMainFrame(); }

    void RecordOpenedAddresses(int result) {
        SetUrlOpenHandler([this, result](const QString& address) {
            m_opened << address;
            return result;
        });
    }

private slots:
    void init() {
        ResetUserData();
        m_opened.clear();
        m_app = StartProgram();
        QVERIFY(m_app);
    }
    void cleanup() {
        SetUrlOpenHandler(nullptr);
        StopProgram(m_app);
    }

    void helpItemsOpenTheirLocalPages() {
        QVERIFY(!CManualPages::LocalFolder().isEmpty());
        RecordOpenedAddresses(42);
        MessageBoxScript boxes;
        const struct {
            unsigned id;
            const char* page;
        } items[] = {{cmd::HelpWeb, "index.html"},
                     {cmd::HelpUpgrade, "history.html"},
                     {cmd::HelpSupport, "troubleshooting.html"},
                     {cmd::HelpFaq, "faq.html"},
                     {cmd::HelpForum, "faq.html"}};
        for (const auto& item : items) {
            QVERIFY(Trigger(Frame(), item.id));
            const QString file = ExistingLocalFile(m_opened.last());
            QVERIFY2(!file.isEmpty(), qPrintable(m_opened.last()));
            QCOMPARE(QFileInfo(file).fileName(), QString::fromLatin1(item.page));
        }
        QCOMPARE(m_opened.size(), 5);
        QVERIFY(boxes.Shown().empty());   // success says nothing
    }

    void upgradeOpensTheHistoryAtTheRunningVersion() {
        QVERIFY(QRegularExpression("^\\d+\\.\\d\\.\\d$").match(CMainFrame::VersionText()).hasMatch());
        RecordOpenedAddresses(42);
        Trigger(Frame(), cmd::HelpUpgrade);
        Trigger(Frame(), cmd::HelpForum);
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(QUrl(m_opened[0]).fragment(), "v" + CMainFrame::VersionText());
        QVERIFY2(PageHasAnchor(m_opened[0]), "the version history has no entry for the running version");
        QVERIFY(PageHasAnchor(m_opened[1]));
    }

    void aboutBoxLinksOpenLocalPages() {
        CAboutDlg about(&Frame());
        QCOMPARE(QFileInfo(ExistingLocalFile(about.HomePageLink()->Address())).fileName(),
                 QStringLiteral("index.html"));
        QCOMPARE(QFileInfo(ExistingLocalFile(about.SupportLink()->Address())).fileName(),
                 QStringLiteral("troubleshooting.html"));
        QCOMPARE(about.HomePageLink()->text(), about.HomePageLink()->Address());
    }

    void helpPageThatDoesNotOpenIsExplained() {
        RecordOpenedAddresses(2);
        MessageBoxScript boxes;
        Trigger(Frame(), cmd::HelpFaq);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QCOMPARE(qtconv::ToQString(boxes.Shown()[0].text), kNotFound);
        QCOMPARE(boxes.Shown()[0].flags & MB_ICONMASK, unsigned(MB_ICONEXCLAMATION));
        RecordOpenedAddresses(31);
        Trigger(Frame(), cmd::HelpWeb);
        QCOMPARE(boxes.Shown().size(), size_t(2));
        QVERIFY(qtconv::ToQString(boxes.Shown()[1].text)
                    .endsWith("There is no application associated\nwith the "
                              "given filename extension."));
    }

    void missingPageIsNotTakenForOpened() {
        // The desktop's own opener, on a manual that is not where the setting says: it must not
        // hand the address on to a browser and call that success.
        const QString missing = QUrl::fromLocalFile(QDir::tempPath() + "/no-such-manual-folder").toString();
        QVERIFY(Registry::SetString(CSharedSettings::kSettingsKey, CManualPages::kAddressSetting,
                                    qtconv::FromQString(missing)));
        QCOMPARE(OpenUrl(CManualPages::Address("faq.html")), 2);
        MessageBoxScript boxes;
        Trigger(Frame(), cmd::HelpSupport);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QCOMPARE(qtconv::ToQString(boxes.Shown()[0].text), kNotFound);
    }

    void hostedManualIsOpenedFromItsSite() {
        QVERIFY(Registry::SetString(CSharedSettings::kSettingsKey, CManualPages::kAddressSetting,
                                    u"https://manual.kestovar.test/quillmar"));
        RecordOpenedAddresses(42);
        Trigger(Frame(), cmd::HelpFaq);
        Trigger(Frame(), cmd::HelpUpgrade);
        QCOMPARE(m_opened,
                 (QStringList{"https://manual.kestovar.test/quillmar/faq.html",
                              "https://manual.kestovar.test/quillmar/history.html#v" + CMainFrame::VersionText()}));
        QVERIFY(Registry::SetString(CSharedSettings::kSettingsKey, CManualPages::kAddressSetting, u" "));
        QVERIFY(!ExistingLocalFile(CManualPages::Address("faq.html")).isEmpty());
    }
};

DESKTOP_TEST_MAIN(HelpTests)
#include "HelpTests.moc"
