// Start-up, settings with their defaults and the settings written back.
#include <cstring>

#include <QApplication>
#include <QMainWindow>
#include <QtTest>

#include "biz/Helpers.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/Themes.h"
#include "desktop/ViewByDate.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/Registry.h"

using namespace testsupport;

class AppStartupTests : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetUserData(); }

    void windowTitleIsTheTemplateStringsFirstLine() {
        auto app = StartProgram();
        QVERIFY(app);
        QCOMPARE(app->GetMainFrame()->windowTitle(), QStringLiteral("Kestovar Quillmar"));
        QVERIFY(app->GetMainFrame()->isVisible());
        StopProgram(app);
    }

    void emptyRegistryGivesTheDefaults() {
        auto app = StartProgram();
        QVERIFY(app);
        QCOMPARE(app->m_nFirstDayOfWeek, 2);
        QCOMPARE(app->m_nTheme, 0);
        QCOMPARE(app->m_bHideClientsWithNoProjects, 0);
        QCOMPARE(app->m_bColorAltRows, 0);
        QCOMPARE(app->m_bStrikeOutPaidItems, 1);
        QCOMPARE(app->m_bGridlines, 0);
        QCOMPARE(app->m_fMileageRate, 0.35f);
        QVERIFY(app->m_strCustomLabel1 == GetResString(84, 1));
        QVERIFY(app->m_strCustomLabel2 == GetResString(85, 1));
        QVERIFY(app->m_strCustomLabel3 == GetResString(86, 1));
        QVERIFY(!app->m_strCustomLabel1.IsEmpty());
        QVERIFY(app->m_strExcelFmtCurrency == CString(u"$#,##0.00"));
        QVERIFY(app->m_strExcelFmtDate == CString(u"[$-409]d-mmm-yy;@"));
        QVERIFY(app->m_strExcelFmtTime == CString(u"[$-409]h:mm AM/PM;@"));
        QVERIFY(app->m_strExcelFmtNumber == CString(u"#,##0"));
        QVERIFY(app->m_strExcelFmtDuration == CString(u"0.00"));
        QCOMPARE(app->GetMainFrame()->GetEntriesView()->GetPeriodType(), int(CViewByDate::PeriodWeek));
        QCOMPARE(InstalledTheme(), 0);
        StopProgram(app);
    }

    void storedSettingsAreLoaded() {
        const CString key = CQuillmarApp::kSettingsKey;
        Registry::SetDword(key, u"FirstDayOfWeek", 1);
        Registry::SetDword(key, u"Theme", 2);
        Registry::SetDword(key, u"Gridlines", 1);
        Registry::SetBinary(key, u"MileageRate", {0x00, 0x00, 0x80, 0x3f});
        Registry::SetString(key, u"CustomLabel2", u"Invoice");
        Registry::SetString(CQuillmarApp::kExcelFmtsKey, u"Date", u"yyyy-mm-dd");
        auto app = StartProgram();
        QVERIFY(app);
        QCOMPARE(app->m_nFirstDayOfWeek, 1);
        QCOMPARE(app->m_nTheme, 2);
        QCOMPARE(app->m_bGridlines, 1);
        QCOMPARE(app->m_fMileageRate, 1.0f);
        QVERIFY(app->m_strCustomLabel2 == CString(u"Invoice"));
        QVERIFY(app->m_strExcelFmtDate == CString(u"yyyy-mm-dd"));
        QCOMPARE(InstalledTheme(), 2);
        StopProgram(app);
    }

    void mileageRateOfTheWrongSizeKeepsTheDefault() {
        Registry::SetBinary(CQuillmarApp::kSettingsKey, u"MileageRate", {0x01, 0x02});
        auto app = StartProgram();
        QVERIFY(app);
        QCOMPARE(app->m_fMileageRate, 0.35f);
        StopProgram(app);
    }

    void themeOutOfRangeKeepsTheInstalledLook() {
        QVERIFY(InstallTheme(1));
        Registry::SetDword(CQuillmarApp::kSettingsKey, u"Theme", 3);
        auto app = StartProgram();
        QVERIFY(app);
        QCOMPARE(InstalledTheme(), 1);
        app->GetMainFrame()->ApplyTheme(2);
        QCOMPARE(InstalledTheme(), 2);
        app->GetMainFrame()->ApplyTheme(7);
        QCOMPARE(InstalledTheme(), 2);
        StopProgram(app);
    }

    void changedSettingsAreWrittenWithTheMileageRateAsFourBytes() {
        auto app = StartProgram();
        QVERIFY(app);
        app->m_nFirstDayOfWeek = 7;
        app->m_nTheme = 1;
        app->m_bColorAltRows = 1;
        app->m_fMileageRate = 0.35f;
        app->m_strCustomLabel3 = u"PO number";
        app->ApplyChangedSettings();
        const CString key = CQuillmarApp::kSettingsKey;
        QCOMPARE(Registry::GetDword(key, u"FirstDayOfWeek", 0), 7u);
        QCOMPARE(Registry::GetDword(key, u"Theme", 0), 1u);
        QCOMPARE(Registry::GetDword(key, u"ColorAltRows", 0), 1u);
        QCOMPARE(Registry::GetDword(key, u"StrikeOutPaidItems", 0), 1u);
        QCOMPARE(Registry::GetDword(key, u"HideClientsWithNoProjects", 9), 0u);
        QCOMPARE(Registry::GetDword(key, u"Gridlines", 9), 0u);
        const auto rate = Registry::QueryBinary(key, u"MileageRate");
        QVERIFY(rate);
        QCOMPARE(*rate, (std::vector<uint8_t>{0x33, 0x33, 0xb3, 0x3e}));
        QVERIFY(Registry::GetString(key, u"CustomLabel3", u"") == CString(u"PO number"));
        QCOMPARE(InstalledTheme(), 1);
        StopProgram(app);
    }

    void excelFormatsAreWrittenToTheirOwnSection() {
        auto app = StartProgram();
        QVERIFY(app);
        app->m_strExcelFmtNumber = u"0";
        QVERIFY(app->SaveExcelFormats());
        QVERIFY(Registry::GetString(CQuillmarApp::kExcelFmtsKey, u"Number", u"") == CString(u"0"));
        QVERIFY(Registry::GetString(CQuillmarApp::kExcelFmtsKey, u"Currency", u"") == CString(u"$#,##0.00"));
        StopProgram(app);
    }

    void startUpFailsWhenTheDataStoreCannotBeOpened() {
        const QByteArray saved = qgetenv("QUILLMAR_DATA_DIR");
        QTemporaryDir blocker;
        const QString file = blocker.path() + "/not-a-folder";
        QFile plain(file);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        qputenv("QUILLMAR_DATA_DIR", (file + "/data").toUtf8());
        auto app = std::make_unique<CQuillmarApp>();
        const bool started = app->InitInstance();
        qputenv("QUILLMAR_DATA_DIR", saved);
        QVERIFY(!started);
        app->ExitInstance();
        app.reset();
        // The lock was given back: the next start works.
        auto again = StartProgram();
        QVERIFY(again);
        StopProgram(again);
    }

    void theUiFontIsTahomaElevenPixels() {
        CQuillmarApp app;
        QCOMPARE(app.GetUIFont().family(), QStringLiteral("Tahoma"));
        QCOMPARE(app.GetUIFont().pixelSize(), 11);
        QCOMPARE(app.GetUIFont().weight(), QFont::Normal);
        QCOMPARE(GetQuillmarApp(), &app);
    }
};

DESKTOP_TEST_MAIN(AppStartupTests)
#include "AppStartupTests.moc"
