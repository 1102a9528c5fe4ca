#pragma once
// What the business library tests share: a temporary HOME with its XDG folders and data
// folder, scripted message-box answers, a fixed clock and the English (United States) locale.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/CString.h"
#include "platform/OleDateTime.h"

class CDataHelper;

// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR and QUILLMAR_DATA_DIR into a
// fresh temporary folder for its lifetime; restores them and removes the folder afterwards.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& Path() const { return m_path; }
    std::string DataFolder() const { return m_path + "/data"; }

private:
    std::string m_path;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// Answers message boxes from a script; a box with no scripted answer gets the cancelling one
// and is counted as unexpected.
class ScriptedMessageBoxes {
public:
    struct Shown {
        CString text;
        unsigned flags;
    };
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes();
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    void Answer(int answer) { m_answers.push_back(answer); }
    const std::vector<Shown>& ShownBoxes() const { return m_shown; }
    int Unexpected() const { return m_unexpected; }
    size_t PendingAnswers() const { return m_answers.size(); }

private:
    std::deque<int> m_answers;
    std::vector<Shown> m_shown;
    int m_unexpected = 0;
};

// 7 March 2004 14:05:00, the example of the stored forms.
COleDateTime TestNow();
// Low 32 bits of the file time of `localNow` in upper-case hexadecimal, computed on its own.
CString FileTimeLowHex(const COleDateTime& localNow);

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
std::vector<std::string> FolderEntries(const std::string& folder);

// The exact bytes of a new data file made at TestNow() with the resource library's sample texts.
std::string ExpectedNewDataFile();

// Desktop library tests: temporary HOME, fixed clock, pinned locale, scripted message boxes,
// and the process's data store initialised on a new data file.
class BizTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CDataHelper& Store();
    std::string DataFilePath() const;
    std::string DataFileText() const { return ReadFile(DataFilePath()); }

    TempHome m_home;
    ScriptedMessageBoxes m_boxes;
};
