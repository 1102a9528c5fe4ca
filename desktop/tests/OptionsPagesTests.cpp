// The settings both programs share, carried to the Options pages and back.
#include <QtTest>

#include "desktop/dialogs/OptionsPages.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/qt/QtConvert.h"

namespace {

// Named as both programs' application objects name their settings; the theme is the desktop's.
struct Settings {
    int m_nFirstDayOfWeek = 2;
    int m_bHideClientsWithNoProjects = 0;
    int m_bColorAltRows = 0;
    int m_bStrikeOutPaidItems = 1;
    int m_bGridlines = 0;
    float m_fMileageRate = 0.35f;
    CString m_strCustomLabel1;
    CString m_strCustomLabel2;
    CString m_strCustomLabel3;
    int m_nTheme = 0;
};

Settings Changed()
{
    Settings settings;
    settings.m_nFirstDayOfWeek = 7;
    settings.m_bHideClientsWithNoProjects = 1;
    settings.m_bColorAltRows = 1;
    settings.m_bStrikeOutPaidItems = 0;
    settings.m_bGridlines = 1;
    settings.m_fMileageRate = 0.58f;
    settings.m_strCustomLabel1 = u"PO number";
    settings.m_strCustomLabel2 = u"Site";
    settings.m_strCustomLabel3 = u"Ticket";
    settings.m_nTheme = 2;
    return settings;
}

}   // namespace

class OptionsPagesTests : public QObject {
    Q_OBJECT
private slots:
    void everySharedSettingReachesThePages()
    {
        CDlgOptionsPrefs prefs;
        CDlgOptionsCustomFields labels;
        CopySharedSettingsIntoPages(Changed(), prefs, labels);
        QCOMPARE(prefs.m_nFirstDayOfWeek, 7);
        QCOMPARE(prefs.m_bHideClientsWithNoProjects, 1);
        QCOMPARE(prefs.m_bColorAltRows, 1);
        QCOMPARE(prefs.m_bStrikeOutPaidItems, 0);
        QCOMPARE(prefs.m_bGridlines, 1);
        QCOMPARE(prefs.m_fMileageRate, 0.58f);
        QCOMPARE(qtconv::ToQString(labels.m_strCustomLabel1), QStringLiteral("PO number"));
        QCOMPARE(qtconv::ToQString(labels.m_strCustomLabel2), QStringLiteral("Site"));
        QCOMPARE(qtconv::ToQString(labels.m_strCustomLabel3), QStringLiteral("Ticket"));
        // The theme is the desktop's own business.
        QCOMPARE(prefs.m_nTheme, 0);
    }

    void everySharedSettingComesBackFromThePages()
    {
        CDlgOptionsPrefs prefs;
        CDlgOptionsCustomFields labels;
        CopySharedSettingsIntoPages(Changed(), prefs, labels);
        prefs.m_nTheme = 1;
        Settings settings;
        CopySharedSettingsFromPages(prefs, labels, settings);
        const Settings expected = Changed();
        QCOMPARE(settings.m_nFirstDayOfWeek, expected.m_nFirstDayOfWeek);
        QCOMPARE(settings.m_bHideClientsWithNoProjects, expected.m_bHideClientsWithNoProjects);
        QCOMPARE(settings.m_bColorAltRows, expected.m_bColorAltRows);
        QCOMPARE(settings.m_bStrikeOutPaidItems, expected.m_bStrikeOutPaidItems);
        QCOMPARE(settings.m_bGridlines, expected.m_bGridlines);
        QCOMPARE(settings.m_fMileageRate, expected.m_fMileageRate);
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel1), QStringLiteral("PO number"));
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel2), QStringLiteral("Site"));
        QCOMPARE(qtconv::ToQString(settings.m_strCustomLabel3), QStringLiteral("Ticket"));
        QCOMPARE(settings.m_nTheme, 0);
    }
};

DESKTOP_TEST_MAIN(OptionsPagesTests)
#include "OptionsPagesTests.moc"
