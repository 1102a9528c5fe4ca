// The registry-export text form on its own: what parses, what is refused, and that what we
// write reads back the same.
#include <gtest/gtest.h>

#include "platform/RegistryTree.h"

namespace {

const CString kSettings = "Software\\Kestovar\\Quillmar\\Settings";

std::string Section(const std::string& body) {
    return "Windows Registry Editor Version 5.00\n\n"
           "[HKEY_CURRENT_USER\\Software\\Kestovar\\Quillmar\\Settings]\n" +
           body;
}

TEST(RegistryText, EmptyTextIsAnEmptyRegistry) {
    auto tree = RegistryTree::Parse("");
    ASSERT_TRUE(tree);
    EXPECT_TRUE(tree->SubKeys("").empty());
    EXPECT_EQ(tree->ToText(), "Windows Registry Editor Version 5.00\n");
    EXPECT_TRUE(RegistryTree::Parse("Windows Registry Editor Version 5.00\n"));
    EXPECT_TRUE(RegistryTree::Parse("REGEDIT4\n"));
}

TEST(RegistryText, ValuesOfEveryTypeParse) {
    auto tree =
        RegistryTree::Parse(Section("\"FirstDayOfWeek\"=dword:00000002\n"
                                    "\"Short\"=dword:a\n"
                                    "\"MileageRate\"=hex:33,33,b3,3e\n"
                                    "\"Name\"=\"a \\\\ b \\\" c\"\n"
                                    "\"Multi\"=hex(1):41,00,0a,00,42,00,00,00\n"
                                    "@=\"default\"\n"));
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->Find(kSettings, "FirstDayOfWeek")->dword, 2u);
    EXPECT_EQ(tree->Find(kSettings, "Short")->dword, 10u);
    EXPECT_EQ(tree->Find(kSettings, "MileageRate")->bytes, (std::vector<uint8_t>{0x33, 0x33, 0xb3, 0x3e}));
    EXPECT_EQ(tree->Find(kSettings, "Name")->text, CString("a \\ b \" c"));
    EXPECT_EQ(tree->Find(kSettings, "Multi")->text, CString("A\nB"));
    EXPECT_EQ(tree->Find(kSettings, "Multi")->type, Registry::Type::String);
    EXPECT_EQ(tree->Find(kSettings, "")->text, CString("default"));
}

TEST(RegistryText, LaterDuplicateValueWins) {
    auto tree = RegistryTree::Parse(Section("\"A\"=dword:00000001\n\"a\"=dword:00000002\n"));
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->Find(kSettings, "A")->dword, 2u);
    EXPECT_EQ(tree->ValueNames(kSettings).size(), 1u);
}

TEST(RegistryText, WhatIsWrittenReadsBackTheSame) {
    RegistryTree tree;
    Registry::Value dword;
    dword.type = Registry::Type::Dword;
    dword.dword = 0xFFFFFFFF;
    Registry::Value text;
    text.text = CString(u"line one\r\nline \"two\" \\ \U0001F600");
    Registry::Value bytes;
    bytes.type = Registry::Type::Binary;
    for (int i = 0; i < 300; ++i)
        bytes.bytes.push_back(static_cast<uint8_t>(i));
    ASSERT_TRUE(tree.Set(kSettings, "D", dword));
    ASSERT_TRUE(tree.Set(kSettings, "T", text));
    ASSERT_TRUE(tree.Set("Software\\Other", "B", bytes));
    const std::string written = tree.ToText();
    auto back = RegistryTree::Parse(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Find(kSettings, "D")->dword, 0xFFFFFFFFu);
    EXPECT_EQ(back->Find(kSettings, "T")->text, text.text);
    EXPECT_EQ(back->Find("Software\\Other", "B")->bytes, bytes.bytes);
    EXPECT_EQ(back->ToText(), written);
}

TEST(RegistryText, LongHexIsWrappedIntoShortLines) {
    RegistryTree tree;
    Registry::Value bytes;
    bytes.type = Registry::Type::Binary;
    bytes.bytes.assign(200, 0xAB);
    tree.Set(kSettings, "B", bytes);
    const std::string text = tree.ToText();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        EXPECT_LE(end - start, 80u);
        start = end + 1;
    }
}

TEST(RegistryText, SettingTheSameValueAgainChangesNothing) {
    RegistryTree tree;
    Registry::Value v;
    v.type = Registry::Type::Dword;
    v.dword = 4;
    EXPECT_TRUE(tree.Set(kSettings, "A", v));
    EXPECT_FALSE(tree.Set(kSettings, "a", v));
    v.dword = 5;
    EXPECT_TRUE(tree.Set(kSettings, "a", v));
    EXPECT_EQ(tree.ValueNames(kSettings), std::vector<CString>{"A"});
}

TEST(RegistryText, KeyNamesAreNormalized) {
    EXPECT_EQ(RegistryTree::NormalizeKey("\\\\A\\\\B\\"), CString("A\\B"));
    EXPECT_EQ(RegistryTree::NormalizeKey(""), CString(""));
    EXPECT_FALSE(RegistryTree::NormalizeKey("A\nB"));
    EXPECT_FALSE(RegistryTree::NormalizeKey(CString(std::u16string(u"A\0B", 3))));
}

class DamagedRegistryText : public ::testing::TestWithParam<std::string> {};

TEST_P(DamagedRegistryText, IsRefused) { EXPECT_FALSE(RegistryTree::Parse(GetParam())); }

INSTANTIATE_TEST_SUITE_P(
    Inputs, DamagedRegistryText,
    ::testing::Values(std::string("just some words"),
                      std::string("\"A\"=dword:00000001\n"),                   // value outside a key
                      std::string("[HKEY_LOCAL_MACHINE\\Software]\n"),         // another hive
                      std::string("[HKEY_CURRENT_USERX]\n"),                   // not the hive's name
                      std::string("[HKEY_CURRENT_USER\\Software\n"),           // unclosed section
                      Section("\"A\"=dword:123456789\n"),                      // too many digits
                      Section("\"A\"=dword:\n"),                               // no digits
                      Section("\"A\"=dword:12g4\n"),                           // not hex
                      Section("\"A\"=hex:1,02\n"),                             // one-digit byte
                      Section("\"A\"=hex:01,,02\n"),                           // empty byte
                      Section("\"A\"=hex:01,02,\n"),                           // trailing comma
                      Section("\"A\"=hex(2):41,00,00,00\n"),                   // type we do not keep
                      Section("\"A\"=hex(1):41,00,00\n"),                      // odd UTF-16 byte count
                      Section("\"A\"=\"unterminated\n"),                       // no closing quote
                      Section("\"A\"=\"bad \\n escape\"\n"),                   // unknown escape
                      Section("\"A\"=\"text\" trailing\n"),                    // junk after value
                      Section("\"A\"dword:00000001\n"),                        // no '='
                      Section("\"A\n"),                                        // broken name
                      Section("A=dword:00000001\n"),                           // unquoted name
                      Section("\"A\"=-\n"),                                    // deletion syntax
                      Section("\"A\"=\"\xC3\x28\"\n"),                         // invalid UTF-8
                      Section("\"A\"=\"\xED\xA0\x80\"\n"),                     // encoded surrogate
                      Section("\"A\"=\"\xC0\xAF\"\n"),                         // overlong form
                      Section(std::string("\"A\0B\"=dword:00000001\n", 21)),   // NUL in a name
                      std::string("[HKEY_CURRENT_USER]\nWindows Registry Editor Version 5.00\n")));

}   // namespace
