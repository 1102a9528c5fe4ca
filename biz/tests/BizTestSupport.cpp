#include "biz/tests/BizTestSupport.h"

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "platform/Locale.h"

COleDateTime TestNow() { return COleDateTime(2004, 3, 7, 14, 5, 0); }

CString FileTimeLowHex(const COleDateTime& localNow) {
    // Whole seconds since 1 January 1601, counted from the calendar fields.
    const int year = localNow.GetYear();
    long long days = 0;
    for (int y = 1601; y < year; ++y)
        days += (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 366 : 365;
    days += localNow.GetDayOfYear() - 1;
    const long long seconds =
        days * 86400LL + localNow.GetHour() * 3600LL + localNow.GetMinute() * 60LL + localNow.GetSecond();
    const unsigned long long ticks = static_cast<unsigned long long>(seconds) * 10000000ULL;
    CString text;
    text.Format(u"%X", static_cast<unsigned>(ticks & 0xFFFFFFFFULL));
    return text;
}

std::string ExpectedNewDataFile() {
    const std::string stamp = "3/7/2004 02:05:00 PM";
    // Saved in the second of "lastSync", so dated a second after it (and sent next time).
    const std::string modified = "<modified>3/7/2004 02:05:01 PM</modified>\r\n";
    return "<quillmar>\r\n"
           "<metaData>\r\n"
           "<docVer>1</docVer>\r\n"
           "<lastId>3</lastId>\r\n"
           "<syncID>" +
           FileTimeLowHex(TestNow()).ToUtf8() +
           "0</syncID>\r\n"
           "<lastSync>" +
           stamp +
           "</lastSync>\r\n"
           "</metaData>\r\n"
           "<client id=\"1\" refId=\"SAMP001\">\r\n"
           "<description>" +
           GetResString(4, 1).ToUtf8() + "</description>\r\n" + modified +
           "</client>\r\n"
           "<project id=\"2\" refId=\"SAMP002\" clientRef=\"SAMP001\">\r\n"
           "<description>" +
           GetResString(5, 1).ToUtf8() + "</description>\r\n" + modified +
           "</project>\r\n"
           "<category id=\"3\" refId=\"SAMP003\">\r\n"
           "<description>" +
           GetResString(6, 1).ToUtf8() + "</description>\r\n" + modified + "<code>" + GetResString(7, 1).ToUtf8() +
           "</code>\r\n"
           "</category>\r\n"
           "</quillmar>\r\n";
}

void BizTest::SetUp() {
    Locale::OverrideUserDefault(&Locale::EnglishUS());
    ASSERT_NE(GetCurrDataHelper(), nullptr);
    Store().SwitchSyncPhase(CDataHelper::PhaseData);
    ASSERT_EQ(Store().Initialize(), 1);
}

void BizTest::TearDown() {
    Store().SwitchSyncPhase(CDataHelper::PhaseData);
    Locale::OverrideUserDefault(nullptr);
}

CDataHelper& BizTest::Store() { return *GetCurrDataHelper(); }

std::string BizTest::DataFilePath() const { return m_home.DataFolder() + "/Quillmar.dat"; }
