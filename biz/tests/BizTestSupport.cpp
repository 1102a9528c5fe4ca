#include "biz/tests/BizTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"

namespace {

std::optional<std::string> GetEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

TempHome::TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmar-biz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
    const std::vector<std::pair<const char*, std::string>> variables = {
        {"HOME", m_path},
        {"XDG_CONFIG_HOME", m_path + "/.config"},
        {"XDG_DATA_HOME", m_path + "/.local/share"},
        {"XDG_RUNTIME_DIR", m_path + "/run"},
        {"QUILLMAR_DATA_DIR", DataFolder()},
    };
    for (const auto& [name, value] : variables) {
        m_saved.emplace_back(name, GetEnv(name));
        setenv(name, value.c_str(), 1);
    }
    std::filesystem::create_directories(m_path + "/run");
    chmod((m_path + "/run").c_str(), 0700);
    Registry::Reload();
}

TempHome::~TempHome() {
    for (const auto& [name, value] : m_saved) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    Registry::Reload();
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

ScriptedMessageBoxes::ScriptedMessageBoxes() {
    SetMessageBoxHandler([this](const CString& text, const CString&, unsigned flags) {
        m_shown.push_back({text, flags});
        if (m_answers.empty()) {
            ++m_unexpected;
            return DefaultMessageBoxAnswer(flags);
        }
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
    SetMessageBoxHandler(nullptr);
}

COleDateTime TestNow() {
    return COleDateTime(2004, 3, 7, 14, 5, 0);
}

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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ExpectedNewDataFile() {
    const std::string stamp = "3/7/2004 02:05:00 PM";
    // Saved in the second of "lastSync", so dated a second after it (and sent next time).
    const std::string modified = "<modified>3/7/2004 02:05:01 PM</modified>\r\n";
    return "<quillmar>\r\n"
           "<metaData>\r\n"
           "<docVer>1</docVer>\r\n"
           "<lastId>3</lastId>\r\n"
           "<syncID>" + FileTimeLowHex(TestNow()).ToUtf8() + "0</syncID>\r\n"
           "<lastSync>" + stamp + "</lastSync>\r\n"
           "</metaData>\r\n"
           "<client id=\"1\" refId=\"SAMP001\">\r\n"
           "<description>" + GetResString(4, 1).ToUtf8() + "</description>\r\n" +
           modified +
           "</client>\r\n"
           "<project id=\"2\" refId=\"SAMP002\" clientRef=\"SAMP001\">\r\n"
           "<description>" + GetResString(5, 1).ToUtf8() + "</description>\r\n" +
           modified +
           "</project>\r\n"
           "<category id=\"3\" refId=\"SAMP003\">\r\n"
           "<description>" + GetResString(6, 1).ToUtf8() + "</description>\r\n" +
           modified +
           "<code>" + GetResString(7, 1).ToUtf8() + "</code>\r\n"
           "</category>\r\n"
           "</quillmar>\r\n";
}

void BizTest::SetUp() {
    Clock::Set(TestNow());
    Locale::OverrideUserDefault(&Locale::EnglishUS());
    ASSERT_NE(GetCurrDataHelper(), nullptr);
    Store().SwitchSyncPhase(CDataHelper::PhaseData);
    ASSERT_EQ(Store().Initialize(), 1);
}

void BizTest::TearDown() {
    Store().SwitchSyncPhase(CDataHelper::PhaseData);
    Locale::OverrideUserDefault(nullptr);
    Clock::Set(std::nullopt);
}

CDataHelper& BizTest::Store() {
    return *GetCurrDataHelper();
}

std::string BizTest::DataFilePath() const {
    return m_home.DataFolder() + "/Quillmar.dat";
}
