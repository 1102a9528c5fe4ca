#include <gtest/gtest.h>

#include "platform/StringTable.h"
#include "platform/tests/PrintCString.h"

namespace {

class StringTableTest : public ::testing::Test {
protected:
    void TearDown() override { StringTable::Register({}); }
};

}   // namespace

TEST_F(StringTableTest, AbsentIsEmpty) {
    StringTable::Register({});
    EXPECT_FALSE(StringTable::Has(1));
    EXPECT_EQ(StringTable::Get(1), u"");
}

TEST_F(StringTableTest, RegisterReplacesTheTable) {
    StringTable::Register({{1, CString(u"one")}, {2, CString(u"two")}});
    EXPECT_EQ(StringTable::Get(2), u"two");
    StringTable::Register({{3, CString(u"three")}});
    EXPECT_FALSE(StringTable::Has(1));
    EXPECT_EQ(StringTable::Get(3), u"three");
}

TEST_F(StringTableTest, AddInsertsOrReplaces) {
    StringTable::Add(40000, u"first");
    StringTable::Add(40000, u"second");
    StringTable::Add(0, u"");
    EXPECT_EQ(StringTable::Get(40000), u"second");
    EXPECT_TRUE(StringTable::Has(0));   // an empty text is still a registered one
    EXPECT_EQ(StringTable::Get(0xFFFFFFFFu), u"");
}
