// The settings both programs share: their defaults, reading them back, the stored rate and the
// Options pages they are shown on.
#include <cstring>

#include <QtTest>

#include "biz/Helpers.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/SharedSettings.h"
#include "ui/shared/dialogs/OptionsPages.h"
#include "ui/shared/tests/UiTestEnvironment.h"

namespace {

const CString kSettingsKey = u"Software\\Kestovar\\Quillmar\\Settings";

CSharedSettings Changed() {
    CSharedSettings settings;
    settings.m_nFirstDayOfWeek = 5;
    settings.m_bHideClientsWithNoProjects = 1;
    settings.m_bColorAltRows = 1;
    settings.m_bStrikeOutPaidItems = 0;
    settings.m_bGridlines = 1;
    settings.m_fMileageRate = 0.5f;
    settings.m_strCustomLabel1 = u"A";
    settings.m_strCustomLabel2 = u"B";
    settings.m_strCustomLabel3 = u"C";
    return settings;
}

}   // namespace

class SharedSettingsTests : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetUserData(); }

    void defaultsComeBackWhateverWasSet() {
        CSharedSettings settings = Changed();
        settings.RestoreSharedDefaults();
        QCOMPARE(settings.m_nFirstDayOfWeek, 2);
        QCOMPARE(settings.m_bHideClientsWithNoProjects, 0);
        QCOMPARE(settings.m_bColorAltRows, 0);
        QCOMPARE(settings.m_bStrikeOutPaidItems, 1);
        QCOMPARE(settings.m_bGridlines, 0);
        QCOMPARE(settings.m_fMileageRate, 0.35f);
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel1), qtconv::ToQString(GetResString(84, 1)));
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel2), qtconv::ToQString(GetResString(85, 1)));
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel3), qtconv::ToQString(GetResString(86, 1)));
    }

    void missingValuesKeepWhatTheSettingsHeld() {
        CSharedSettings settings = Changed();
        settings.LoadSharedSettings(kSettingsKey);
        QCOMPARE(settings.m_nFirstDayOfWeek, 5);
        QCOMPARE(settings.m_bStrikeOutPaidItems, 0);
        QCOMPARE(settings.m_fMileageRate, 0.5f);
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel2), QStringLiteral("B"));
    }

    void storedValuesAreReadByTheirNames() {
        QVERIFY(Registry::SetDword(kSettingsKey, u"FirstDayOfWeek", 1));
        QVERIFY(Registry::SetDword(kSettingsKey, u"HideClientsWithNoProjects", 1));
        QVERIFY(Registry::SetDword(kSettingsKey, u"ColorAltRows", 1));
        QVERIFY(Registry::SetDword(kSettingsKey, u"StrikeOutPaidItems", 0));
        QVERIFY(Registry::SetDword(kSettingsKey, u"Gridlines", 1));
        QVERIFY(Registry::SetBinary(kSettingsKey, u"MileageRate", CSharedSettings::MileageRateBytes(0.625f)));
        QVERIFY(Registry::SetString(kSettingsKey, u"CustomLabel3", u"Ticket"));
        CSharedSettings settings;
        settings.RestoreSharedDefaults();
        settings.LoadSharedSettings(kSettingsKey);
        QCOMPARE(settings.m_nFirstDayOfWeek, 1);
        QCOMPARE(settings.m_bHideClientsWithNoProjects, 1);
        QCOMPARE(settings.m_bColorAltRows, 1);
        QCOMPARE(settings.m_bStrikeOutPaidItems, 0);
        QCOMPARE(settings.m_bGridlines, 1);
        QCOMPARE(settings.m_fMileageRate, 0.625f);
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel1), qtconv::ToQString(GetResString(84, 1)));
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel3), QStringLiteral("Ticket"));
    }

    void aRateOfAnyOtherSizeIsIgnored() {
        for (size_t size : {size_t{0}, size_t{3}, size_t{8}}) {
            QVERIFY(Registry::SetBinary(kSettingsKey, u"MileageRate", std::vector<uint8_t>(size, 0x41)));
            CSharedSettings settings;
            settings.LoadSharedSettings(kSettingsKey);
            QCOMPARE(settings.m_fMileageRate, 0.35f);
        }
    }

    void everySharedSettingReachesTheOptionsPages() {
        CDlgOptionsPrefs prefs;
        CDlgOptionsCustomFields labels;
        CopySharedSettingsIntoPages(Changed(), prefs, labels);
        QCOMPARE(prefs.m_nFirstDayOfWeek, 5);
        QCOMPARE(prefs.m_bHideClientsWithNoProjects, 1);
        QCOMPARE(prefs.m_bColorAltRows, 1);
        QCOMPARE(prefs.m_bStrikeOutPaidItems, 0);
        QCOMPARE(prefs.m_bGridlines, 1);
        QCOMPARE(prefs.m_fMileageRate, 0.5f);
        QCOMPARE(qtconv::ToQString(labels.m_strCustomLabel1), QStringLiteral("A"));
        QCOMPARE(qtconv::ToQString(labels.m_strCustomLabel2), QStringLiteral("B"));
        QCOMPARE(qtconv::ToQString(labels.m_strCustomLabel3), QStringLiteral("C"));
        // The theme is the desktop's own business.
        QCOMPARE(prefs.m_nTheme, 0);
    }

    void everySharedSettingComesBackFromTheOptionsPages() {
        CDlgOptionsPrefs prefs;
        CDlgOptionsCustomFields labels;
        CopySharedSettingsIntoPages(Changed(), prefs, labels);
        CSharedSettings settings;
        CopySharedSettingsFromPages(prefs, labels, settings);
        const CSharedSettings expected = Changed();
        QCOMPARE(settings.m_nFirstDayOfWeek, expected.m_nFirstDayOfWeek);
        QCOMPARE(settings.m_bHideClientsWithNoProjects, expected.m_bHideClientsWithNoProjects);
        QCOMPARE(settings.m_bColorAltRows, expected.m_bColorAltRows);
        QCOMPARE(settings.m_bStrikeOutPaidItems, expected.m_bStrikeOutPaidItems);
        QCOMPARE(settings.m_bGridlines, expected.m_bGridlines);
        QCOMPARE(settings.m_fMileageRate, expected.m_fMileageRate);
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel1), QStringLiteral("A"));
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel2), QStringLiteral("B"));
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel3), QStringLiteral("C"));
    }

    void theRateIsStoredAsTheFloatsFourBytes() {
        const float rate = 0.35f;
        const std::vector<uint8_t> bytes = CSharedSettings::MileageRateBytes(rate);
        QCOMPARE(bytes.size(), sizeof(float));
        float back = 0.0f;
        std::memcpy(&back, bytes.data(), sizeof(float));
        QCOMPARE(back, rate);
    }
};

UI_TEST_MAIN(SharedSettingsTests)
#include "SharedSettingsTests.moc"
