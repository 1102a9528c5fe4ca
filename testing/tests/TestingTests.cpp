// The shared test support: a temporary user that leaves nothing behind, a clock that holds,
// message boxes answered from a script, and a disk that fills up after a set number of bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "testing/FailingFile.h"
#include "testing/ScriptedMessageBox.h"
#include "testing/SettableClock.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

}   // namespace

TEST(TempHomeTest, PointsTheUserFoldersInsideAndPutsEverythingBack) {
    const auto home = Variable("HOME");
    const auto data = Variable("QUILLMAR_DATA_DIR");
    std::string root;
    {
        TempHome user;
        root = user.Root();
        EXPECT_EQ(GetHomeFolder(), user.Home());
        EXPECT_EQ(GetConfigHome(), user.ConfigHome());
        EXPECT_EQ(GetDataHome(), user.DataHome());
        EXPECT_EQ(Variable("XDG_RUNTIME_DIR"), user.RuntimeFolder());
        EXPECT_EQ(GetDesktopDataFolder(), user.DataFolder());
        const auto mode = std::filesystem::status(user.RuntimeFolder()).permissions();
        EXPECT_EQ(mode, std::filesystem::perms::owner_all);
        user.Set("QUILLMAR_DATA_DIR", std::nullopt);
        user.Set("QUILLMAR_DATA_DIR", user.Root() + "/other");
        ASSERT_TRUE(WriteFileBytes(user.Root() + "/file", "x"));
    }
    EXPECT_FALSE(std::filesystem::exists(root));
    EXPECT_EQ(Variable("HOME"), home);
    EXPECT_EQ(Variable("QUILLMAR_DATA_DIR"), data);
}

TEST(TempHomeTest, TwoUsersTakeTurnsAndTheFirstOnesValuesComeBack) {
    const auto home = Variable("HOME");
    {
        TempHome device("quillmar-device");
        TempHome desktop("quillmar-desktop");
        EXPECT_EQ(GetHomeFolder(), desktop.Home());
        device.Activate();
        EXPECT_EQ(GetHomeFolder(), device.Home());
        EXPECT_EQ(GetConfigHome(), device.ConfigHome());
        desktop.Activate();
        EXPECT_EQ(GetConfigHome(), desktop.ConfigHome());
    }
    EXPECT_EQ(Variable("HOME"), home);
}

TEST(SettableClockTest, HoldsAndAdvancesThenGivesTheRealClockBack) {
    {
        SettableClock clock(COleDateTime(2004, 3, 7, 14, 5, 0));
        EXPECT_EQ(Clock::LocalNow(), COleDateTime(2004, 3, 7, 14, 5, 0));
        clock.AdvanceMinutes(60);
        EXPECT_EQ(clock.Now(), COleDateTime(2004, 3, 7, 15, 5, 0));
        clock.Set(COleDateTime(2010, 1, 1, 0, 0, 0));
        EXPECT_EQ(Clock::LocalNow(), COleDateTime(2010, 1, 1, 0, 0, 0));
        COleDateTime invalid;
        invalid.SetStatus(COleDateTime::invalid);
        EXPECT_THROW(clock.Set(invalid), std::invalid_argument);
        EXPECT_TRUE(Clock::IsSet());
    }
    EXPECT_FALSE(Clock::IsSet());
}

TEST(ScriptedMessageBoxTest, AnswersInOrderAndCancelsWhatWasNotScripted) {
    int outerCalls = 0;
    const MessageBoxHandler outer = [&outerCalls](const CString&, const CString&, unsigned) {
        ++outerCalls;
        return IDIGNORE;
    };
    const MessageBoxHandler before = SetMessageBoxHandler(outer);
    {
        ScriptedMessageBox boxes;
        boxes.Answer(IDYES);
        boxes.Answer(IDNO);
        EXPECT_EQ(MessageBoxWithCaption(u"first", u"Title", MB_YESNO), IDYES);
        EXPECT_EQ(AfxMessageBox(u"second", MB_YESNOCANCEL), IDNO);
        EXPECT_EQ(boxes.Unexpected(), 0);
        EXPECT_EQ(AfxMessageBox(u"third", MB_YESNOCANCEL), IDCANCEL);
        EXPECT_EQ(AfxMessageBox(u"fourth", MB_YESNO), IDNO);
        EXPECT_EQ(boxes.Unexpected(), 2);
        ASSERT_EQ(boxes.ShownBoxes().size(), 4u);
        EXPECT_EQ(boxes.ShownBoxes()[0].text, CString(u"first"));
        EXPECT_EQ(boxes.ShownBoxes()[0].caption, CString(u"Title"));
        EXPECT_EQ(boxes.ShownBoxes()[1].flags, static_cast<unsigned>(MB_YESNOCANCEL));
        EXPECT_EQ(boxes.PendingAnswers(), 0u);
    }
    EXPECT_EQ(AfxMessageBox(u"after", MB_OK), IDIGNORE);
    EXPECT_EQ(outerCalls, 1);
    SetMessageBoxHandler(before);
}

TEST(ScriptedMessageBoxTest, ConfirmingScriptProceedsWhereNothingWasScripted) {
    ScriptedMessageBox boxes(ScriptedMessageBox::Unscripted::Confirm);
    EXPECT_EQ(AfxMessageBox(u"delete?", MB_YESNO), IDYES);
    EXPECT_EQ(AfxMessageBox(u"save?", MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(AfxMessageBox(u"go on?", MB_OKCANCEL), IDOK);
    EXPECT_EQ(AfxMessageBox(u"again?", MB_RETRYCANCEL), IDRETRY);
    boxes.Answer(IDNO);
    EXPECT_EQ(AfxMessageBox(u"delete?", MB_YESNO), IDNO);
}

class FailingFileTest : public ::testing::Test {
protected:
    TempHome m_user;
    std::string m_path = m_user.Root() + "/file";
};

TEST_F(FailingFileTest, WritesUpToTheLimitAndNoFurther) {
    ASSERT_TRUE(WriteFileAtomically(m_path, "old"));
    const std::string bytes(1000, 'n');
    for (size_t limit : {size_t(0), size_t(1), size_t(499), size_t(999)}) {
        FailingFile disk(limit);
        EXPECT_FALSE(WriteFileAtomically(m_path, bytes)) << limit;
        EXPECT_TRUE(disk.Failed()) << limit;
        EXPECT_EQ(disk.BytesWritten(), limit);
        EXPECT_EQ(ReadFileBytes(m_path), "old") << limit;
        EXPECT_EQ(FolderEntries(m_user.Root()), (std::vector<std::string>{"file", "home", "run"})) << limit;
    }
    FailingFile disk(1000);
    EXPECT_TRUE(WriteFileAtomically(m_path, bytes));
    EXPECT_FALSE(disk.Failed());
    EXPECT_EQ(ReadFileBytes(m_path), bytes);
}

TEST_F(FailingFileTest, TheSeamIsDisarmedAfterwards) {
    {
        FailingFile disk(0, EIO);
        EXPECT_FALSE(WriteFileAtomically(m_path, "x"));
    }
    EXPECT_TRUE(WriteFileAtomically(m_path, "x"));
    EXPECT_EQ(ReadFileBytes(m_path), "x");
}
