#pragma once
// What the business library tests share besides testing/: the example time, the bytes of a new
// data file, and a fixture with a temporary user, scripted message boxes, the example time on
// the clock, the English (United States) locale and the process's data store on a new file.
#include <gtest/gtest.h>

#include <string>

#include "platform/CString.h"
#include "platform/OleDateTime.h"
#include "testing/ScriptedMessageBox.h"
#include "testing/SettableClock.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

class CDataHelper;

// 7 March 2004 14:05:00, the example of the stored forms.
COleDateTime TestNow();
// Low 32 bits of the file time of `localNow` in upper-case hexadecimal, computed on its own.
CString FileTimeLowHex(const COleDateTime& localNow);

// The exact bytes of a new data file made at TestNow() with the resource library's sample texts.
std::string ExpectedNewDataFile();

// Desktop library tests: the process's data store initialised on a new data file in the
// temporary user's data folder.
class BizTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CDataHelper& Store();
    std::string DataFilePath() const;
    std::string DataFileText() const { return ReadFileBytes(DataFilePath()); }

    TempHome m_home{"quillmar-biz"};
    ScriptedMessageBox m_boxes;
    SettableClock m_clock{TestNow()};
};
