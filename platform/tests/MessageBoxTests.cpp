#include <gtest/gtest.h>

#include <vector>

#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "platform/tests/PrintCString.h"

namespace {

struct Shown {
    CString text;
    CString caption;
    unsigned flags;
};

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxHandler([this](const CString& text, const CString& caption, unsigned flags) {
            shown.push_back({text, caption, flags});
            return answer;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler(nullptr);
        SetMessageBoxCaption(u"Quillmar");
        StringTable::Register({});
    }
    std::vector<Shown> shown;
    int answer = IDYES;
};

}   // namespace

TEST(MessageBoxDefault, AnswersTheCancellingButton) {
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(AfxMessageBox(u"x", MB_OK), IDOK);
    EXPECT_EQ(AfxMessageBox(u"x", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(u"x", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxMessageBox(u"x", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(u"x", MB_RETRYCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(u"x", MB_ABORTRETRYIGNORE), IDABORT);
    EXPECT_EQ(AfxMessageBox(u"x", 0xE), IDCANCEL);   // an unknown box type
    EXPECT_EQ(DefaultMessageBoxAnswer(MB_YESNO), IDNO);
}

TEST_F(MessageBoxTest, HandlerSeesTextCaptionAndFlags) {
    EXPECT_EQ(AfxMessageBox(u"Delete the entry?", MB_YESNO | MB_ICONQUESTION), IDYES);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, u"Delete the entry?");
    EXPECT_EQ(shown[0].caption, u"Quillmar");
    EXPECT_EQ(shown[0].flags, MB_YESNO | MB_ICONQUESTION);
}

TEST_F(MessageBoxTest, CaptionCanBeChangedOrGiven) {
    SetMessageBoxCaption(u"Quillmar Device");
    AfxMessageBox(u"a");
    answer = IDRETRY;
    EXPECT_EQ(MessageBoxWithCaption(u"b", u"Sync", MB_RETRYCANCEL), IDRETRY);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, u"Quillmar Device");
    EXPECT_EQ(shown[0].flags, MB_OK);
    EXPECT_EQ(shown[1].caption, u"Sync");
}

TEST_F(MessageBoxTest, NumberedTextComesFromTheStringTable) {
    StringTable::Register({{57, CString(u"Numbered text")}});
    AfxMessageBox(57u, MB_OKCANCEL);
    AfxMessageBox(58u);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, u"Numbered text");
    EXPECT_EQ(shown[0].flags, MB_OKCANCEL);
    EXPECT_EQ(shown[1].text, u"");
}

TEST_F(MessageBoxTest, ReplacingReturnsThePreviousHandler) {
    MessageBoxHandler previous =
        SetMessageBoxHandler([](const CString&, const CString&, unsigned) { return IDIGNORE; });
    EXPECT_EQ(AfxMessageBox(u"x", MB_ABORTRETRYIGNORE), IDIGNORE);
    SetMessageBoxHandler(previous);
    EXPECT_EQ(AfxMessageBox(u"x", MB_YESNO), IDYES);
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(MessageBoxTest, HandlerMayShowAnotherBox) {
    SetMessageBoxHandler([this](const CString& text, const CString&, unsigned) {
        if (text == u"outer")
            return AfxMessageBox(u"inner") == IDOK ? IDYES : IDNO;
        shown.push_back({text, CString(), 0});
        return IDOK;
    });
    EXPECT_EQ(AfxMessageBox(u"outer", MB_YESNO), IDYES);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, u"inner");
}
