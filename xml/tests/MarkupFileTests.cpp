// Loading and saving files.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "platform/WriteFault.h"
#include "testing/FailingFile.h"
#include "testing/TestFiles.h"
#include "xml/tests/MarkupTestSupport.h"

namespace {

TEST(MarkupFile, LoadDecodesUtf8) {
    TempFolder folder;
    WriteFileBytes(folder.File("in.xml"), "<a n=\"caf\xC3\xA9\">\xE2\x82\xAC</a>");
    CMarkup m;
    ASSERT_TRUE(m.Load(CString(folder.File("in.xml"))));
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(m.GetAttrib(u"n"), CString(u"caf\u00e9"));
    EXPECT_EQ(m.GetData(), CString(u"\u20ac"));
}

TEST(MarkupFile, LoadSkipsByteOrderMarkAsCharacterBeforeRoot) {
    TempFolder folder;
    WriteFileBytes(folder.File("bom.xml"), "\xEF\xBB\xBF<a/>");
    CMarkup m;
    ASSERT_TRUE(m.Load(CString(folder.File("bom.xml"))));
    EXPECT_EQ(m.GetDoc().GetLength(), 5);
    EXPECT_TRUE(m.FindElem(u"a"));
}

TEST(MarkupFile, LoadAcrossReadChunksKeepsEverySequence) {
    // Several megabytes, so sequences of every length straddle the reader's chunk boundaries.
    TempFolder folder;
    std::string bytes = "<a>";
    std::u16string expected;
    for (int i = 0; i < 200000; ++i) {
        bytes += "x\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
        expected += u"x\u00e9\u20ac\U0001F600";
        if (i % 7 == 0) {
            bytes += "\xFF";   // an invalid byte stays one replacement character
            expected += u"\uFFFD";
        }
    }
    bytes += "</a>";
    WriteFileBytes(folder.File("big.xml"), bytes);
    CMarkup m;
    ASSERT_TRUE(m.Load(CString(folder.File("big.xml"))));
    ASSERT_TRUE(m.FindElem());
    EXPECT_TRUE(m.GetData().str() == expected);
}

TEST(MarkupFile, LoadOfLongNonAsciiRun) {
    TempFolder folder;
    std::string bytes = "<a>";
    std::u16string expected;
    for (int i = 0; i < 700000; ++i) {
        bytes += i % 2 ? "\xE2\x82\xAC" : "\xC3\xA9";
        expected += i % 2 ? u'\u20ac' : u'\u00e9';
    }
    bytes += "</a>";
    WriteFileBytes(folder.File("run.xml"), bytes);
    CMarkup m;
    ASSERT_TRUE(m.Load(CString(folder.File("run.xml"))));
    ASSERT_TRUE(m.FindElem());
    EXPECT_TRUE(m.GetData().str() == expected);
}

TEST(MarkupFile, LoadOfFolderFails) {
    TempFolder folder;
    CMarkup m(u"<keep/>");
    EXPECT_FALSE(m.Load(CString(folder.Path())));
    EXPECT_EQ(m.GetDoc(), CString(u"<keep/>"));
}

TEST(MarkupFile, LoadOfMissingFileLeavesDocument) {
    TempFolder folder;
    CMarkup m(u"<keep/>");
    EXPECT_FALSE(m.Load(CString(folder.File("missing.xml"))));
    EXPECT_EQ(m.GetDoc(), CString(u"<keep/>"));
    EXPECT_TRUE(m.IsWellFormed());
}

TEST(MarkupFile, LoadOfBadFileKeepsTheText) {
    TempFolder folder;
    WriteFileBytes(folder.File("bad.xml"), "<a><b></a>");
    CMarkup m(u"<keep/>");
    EXPECT_FALSE(m.Load(CString(folder.File("bad.xml"))));
    EXPECT_EQ(m.GetDoc(), CString(u"<a><b></a>"));
    EXPECT_EQ(m.GetError(), CString(u"End tag does not correspond to b"));
}

TEST(MarkupFile, SaveWritesUtf8WithoutMarkOrDeclaration) {
    TempFolder folder;
    CMarkup m;
    ASSERT_TRUE(m.AddElem(u"a", u"\u00e9\U0001F600"));
    ASSERT_TRUE(m.Save(CString(folder.File("out.xml"))));
    EXPECT_EQ(ReadFileBytes(folder.File("out.xml")), "<a>\xC3\xA9\xF0\x9F\x98\x80</a>\r\n");
    CMarkup back;
    ASSERT_TRUE(back.Load(CString(folder.File("out.xml"))));
    EXPECT_EQ(back.GetDoc(), m.GetDoc());
}

TEST(MarkupFile, SaveReplacesExistingFileWhole) {
    TempFolder folder;
    std::string path = folder.File("data.xml");
    WriteFileBytes(path, std::string(10000, 'x'));
    CMarkup m(u"<short/>");
    ASSERT_TRUE(m.Save(CString(path)));
    EXPECT_EQ(ReadFileBytes(path), "<short/>");
    // No temporary file is left behind.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(MarkupFile, FailedSaveLeavesOldFileIntact) {
    TempFolder folder;
    std::string path = folder.File("data.xml");
    WriteFileBytes(path, "<old/>");
    CMarkup m(u"<new/>");
    for (WriteFault::Op op : {WriteFault::Op::Open, WriteFault::Op::Write, WriteFault::Op::ShortWrite,
                              WriteFault::Op::Sync, WriteFault::Op::Close, WriteFault::Op::Rename}) {
        WriteFault::Scope fault(op, 1, ENOSPC);
        EXPECT_FALSE(m.Save(CString(path)));
        EXPECT_EQ(ReadFileBytes(path), "<old/>");
    }
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(MarkupFile, DiskFillingAtAnyByteLeavesOldFileIntact) {
    TempFolder folder;
    const std::string path = folder.File("data.xml");
    WriteFileBytes(path, "<old/>");
    CMarkup m(u"<new><entry>first</entry><entry>second</entry></new>");
    const size_t size = m.GetDoc().ToUtf8().size();
    for (size_t limit = 0; limit < size; ++limit) {
        FailingFile disk(limit);
        EXPECT_FALSE(m.Save(CString(path))) << limit;
        EXPECT_TRUE(disk.Failed()) << limit;
        EXPECT_EQ(ReadFileBytes(path), "<old/>") << limit;
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"data.xml"}) << limit;
    }
    FailingFile disk(size);
    EXPECT_TRUE(m.Save(CString(path)));
    EXPECT_EQ(ReadFileBytes(path), m.GetDoc().ToUtf8());
}

TEST(MarkupFile, SaveTellsAFailedFolderFlushFromAFailedWrite) {
    TempFolder folder;
    std::string path = folder.File("data.xml");
    WriteFileBytes(path, "<old/>");
    CMarkup m(u"<new/>");
    {
        WriteFault::Scope fault(WriteFault::Op::Rename, 1, EIO);
        EXPECT_EQ(m.SaveFile(CString(path)).GetState(), WriteStatus::NotWritten);
    }
    WriteFault::Scope fault(WriteFault::Op::FolderSync, 1, EIO);
    EXPECT_EQ(m.SaveFile(CString(path)).GetState(), WriteStatus::NotDurable);
    EXPECT_EQ(ReadFileBytes(path), "<new/>");
}

TEST(MarkupFile, FailedRenameLeavesTargetAndNoTemporary) {
    TempFolder folder;
    std::string target = folder.File("taken");
    std::filesystem::create_directories(target + "/inside");
    CMarkup m(u"<new/>");
    EXPECT_FALSE(m.Save(CString(target)));
    EXPECT_TRUE(std::filesystem::is_directory(target + "/inside"));
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(MarkupFile, SaveIntoMissingFolderFails) {
    TempFolder folder;
    CMarkup m(u"<a/>");
    EXPECT_FALSE(m.Save(CString(folder.File("no/such/dir.xml"))));
}

// Large documents are written in pieces; what is written must not depend on where a piece ends.
std::u16string TextOfUnits(size_t count, uint32_t seed, char16_t (*pick)(uint32_t)) {
    std::u16string text;
    text.reserve(count);
    uint32_t state = seed;
    for (size_t i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        text += pick(state >> 8);
    }
    return text;
}

void ExpectSavedBytesAreUtf8OfDoc(const std::u16string& data) {
    TempFolder folder;
    CMarkup m;
    ASSERT_TRUE(m.AddElem(u"a", data));
    ASSERT_TRUE(m.Save(CString(folder.File("big.xml"))));
    EXPECT_TRUE(ReadFileBytes(folder.File("big.xml")) == m.GetDoc().ToUtf8());
}

TEST(MarkupFile, SaveOfLargeAsciiDocumentIsExact) {
    ExpectSavedBytesAreUtf8OfDoc(
        TextOfUnits(700000, 1, [](uint32_t r) { return static_cast<char16_t>(u'a' + r % 26); }));
}

TEST(MarkupFile, SaveOfLargeDocumentOfThreeByteCharactersIsExact) {
    ExpectSavedBytesAreUtf8OfDoc(
        TextOfUnits(300001, 2, [](uint32_t r) { return static_cast<char16_t>(0x4E00 + r % 0x1000); }));
}

TEST(MarkupFile, SaveKeepsSurrogatePairsWholeAcrossPieces) {
    std::u16string data = u"x";
    for (int i = 0; i < 200000; ++i)
        data += u"😀";
    ExpectSavedBytesAreUtf8OfDoc(data);
    ExpectSavedBytesAreUtf8OfDoc(data.substr(1));
}

TEST(MarkupFile, SaveOfMixedTextWithLoneSurrogatesIsExact) {
    ExpectSavedBytesAreUtf8OfDoc(TextOfUnits(600000, 3, [](uint32_t r) {
        switch (r % 8) {
        case 0: return static_cast<char16_t>(0xD800 + r % 0x400);    // high, paired or lone
        case 1: return static_cast<char16_t>(0xDC00 + r % 0x400);    // low, paired or lone
        case 2: return static_cast<char16_t>(0x80 + r % 0x780);      // two bytes
        case 3: return static_cast<char16_t>(0xE000 + r % 0x2000);   // three bytes
        default: return static_cast<char16_t>(u' ' + r % 0x5E);      // ASCII
        }
    }));
}

TEST(MarkupFile, SaveWritesLoneSurrogateAsReplacementCharacter) {
    TempFolder folder;
    CMarkup m;
    ASSERT_TRUE(m.AddElem(u"a", std::u16string(u"x\xDC00y\xD800")));
    ASSERT_TRUE(m.Save(CString(folder.File("lone.xml"))));
    EXPECT_EQ(ReadFileBytes(folder.File("lone.xml")), "<a>x\xEF\xBF\xBDy\xEF\xBF\xBD</a>\r\n");
}

}   // namespace
