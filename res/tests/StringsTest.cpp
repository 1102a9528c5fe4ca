#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "res/tests/ResLibrary.h"

using res_test::NamedStringIds;
using res_test::Res;

namespace {

// Empty string for a missing number, so a failed lookup shows up in the comparison.
std::string Text(unsigned id) {
    const char* text = Res().string(id);
    return text != nullptr ? text : std::string();
}

std::string WithoutSpaces(std::string text) {
    std::erase(text, ' ');
    return text;
}

// UTF-16 length of valid UTF-8, or -1 when the bytes are not valid UTF-8.
int Utf16Length(const std::string& text) {
    int units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        if (lead < 0x80)
            extra = 0;
        else if ((lead & 0xE0) == 0xC0 && lead >= 0xC2)
            extra = 1;
        else if ((lead & 0xF0) == 0xE0)
            extra = 2;
        else if ((lead & 0xF8) == 0xF0 && lead <= 0xF4)
            extra = 3;
        else
            return -1;
        if (i + extra >= text.size() && extra > 0)
            return -1;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return -1;
        }
        units += extra == 3 ? 2 : 1;
        i += extra + 1;
    }
    return units;
}

// An XML element name as the export writes it: a letter or underscore, then letters, digits,
// '-', '_' or '.'; ASCII is all the export's names need.
bool IsXmlName(const std::string& name) {
    if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) || c == '_' || c == '-' || c == '.'))
            return false;
    }
    return true;
}

class ResStrings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Res().error, "");
        ASSERT_NE(Res().string, nullptr) << "QuillmarRes_String is not exported";
    }
};

}   // namespace

TEST_F(ResStrings, EveryNamedNumberHasText) {
    for (unsigned id : NamedStringIds())
        EXPECT_FALSE(Text(id).empty()) << "string " << id;
}

TEST_F(ResStrings, UnknownNumbersGiveNull) {
    for (unsigned id : {0u, 1u, 12u, 17u, 44u, 48u, 54u, 56u, 79u, 82u, 112u, 1000u, UINT_MAX})
        EXPECT_EQ(Res().string(id), nullptr) << "string " << id;
}

TEST_F(ResStrings, NothingBeyondTheNamedNumbers) {
    // A stray number would answer for a text that belongs to a program's own table.
    const auto named = NamedStringIds();
    const std::set<unsigned> known(named.begin(), named.end());
    for (unsigned id = 0; id <= 0xFFFF; ++id) {
        if (Res().string(id) != nullptr) {
            EXPECT_TRUE(known.contains(id)) << "unexpected string " << id;
        }
    }
}

TEST_F(ResStrings, ProgramOwnNumbersAreNotHere) {
    // The programs keep these in their own tables; a copy here would shadow nothing but could
    // drift from theirs.
    for (unsigned id : {229u, 230u, 57344u, 57608u, 57609u, 57610u, 57611u, 57612u, 57613u})
        EXPECT_EQ(Res().string(id), nullptr) << "string " << id;
}

TEST_F(ResStrings, RepeatedLookupGivesTheSameText) {
    for (unsigned id : NamedStringIds())
        EXPECT_EQ(Res().string(id), Res().string(id)) << "string " << id;
}

TEST_F(ResStrings, TextsAreValidUtf8WithinTheLoadLimit) {
    for (unsigned id : NamedStringIds()) {
        const int length = Utf16Length(Text(id));
        EXPECT_GE(length, 1) << "string " << id << " is not valid UTF-8";
        EXPECT_LE(length, 259) << "string " << id << " would be cut when loaded";
    }
}

TEST_F(ResStrings, DurationSuffixesTellHoursFromMinutes) {
    EXPECT_FALSE(Text(8).empty());
    EXPECT_FALSE(Text(9).empty());
    EXPECT_NE(Text(8), Text(9));
    // A '%' would be taken as a conversion if a caller ever formats with the suffix.
    EXPECT_EQ(Text(8).find('%'), std::string::npos);
    EXPECT_EQ(Text(9).find('%'), std::string::npos);
}

namespace {
std::vector<std::string> Conversions(const std::string& format) {
    std::vector<std::string> conversions;
    for (std::size_t at = format.find('%'); at != std::string::npos; at = format.find('%', at + 2))
        conversions.push_back(format.substr(at, 2));
    return conversions;
}
}   // namespace

TEST_F(ResStrings, ExportFailureFormatTakesExactlyOneText) {
    EXPECT_EQ(Conversions(Text(105)), std::vector<std::string>{"%s"});
}

TEST_F(ResStrings, InvoiceMessagesTakeTheNumberOrNothing) {
    // 302, 307 and 309 name the invoice; the others are shown as they stand.
    for (unsigned id : {302u, 307u, 309u})
        EXPECT_EQ(Conversions(Text(id)), std::vector<std::string>{"%s"}) << "string " << id;
    for (unsigned id : {301u, 303u, 304u, 305u, 306u, 308u, 310u})
        EXPECT_TRUE(Conversions(Text(id)).empty()) << "string " << id;
}

TEST_F(ResStrings, ExportElementNamesAreValidXml) {
    // Used exactly as they stand.
    for (unsigned id : {78u, 91u, 34u, 35u, 43u, 106u, 42u, 110u})
        EXPECT_TRUE(IsXmlName(Text(id))) << "string " << id << " \"" << Text(id) << "\"";
    // Used with their spaces removed.
    for (unsigned id : {92u, 93u, 94u, 95u, 96u, 97u, 98u, 84u, 85u, 86u})
        EXPECT_TRUE(IsXmlName(WithoutSpaces(Text(id)))) << "string " << id << " \"" << Text(id) << "\"";
}

TEST_F(ResStrings, ExportFieldNamesAreDistinct) {
    // Each field keeps its check state under its name in the registry and names its element in
    // the XML file: two fields with one name would share a setting and an element.
    const unsigned fields[] = {78, 91, 34, 35, 43, 92, 93, 106, 94, 95, 42, 96, 97, 98, 84, 85, 86, 110};
    std::set<std::string> registryNames;
    std::set<std::string> elementNames;
    for (unsigned id : fields) {
        EXPECT_TRUE(registryNames.insert(Text(id)).second) << "string " << id;
        EXPECT_TRUE(elementNames.insert(WithoutSpaces(Text(id))).second) << "string " << id;
    }
}

TEST_F(ResStrings, ExportedValuesAreDistinct) {
    EXPECT_EQ((std::set<std::string>{Text(30), Text(52), Text(53)}).size(), 3u) << "entry types";
    EXPECT_NE(Text(99), Text(100)) << "billable flag";
    EXPECT_EQ((std::set<std::string>{Text(101), Text(102), Text(103)}).size(), 3u) << "billing status";
}

TEST_F(ResStrings, PeriodTitlesAreDistinct) {
    EXPECT_EQ((std::set<std::string>{Text(57), Text(58), Text(59), Text(60)}).size(), 4u);
}

TEST_F(ResStrings, WeekHeaderLeavesRoomForTheDate) {
    const std::string prefix = Text(108);
    ASSERT_FALSE(prefix.empty());
    EXPECT_EQ(prefix.back(), ' ');
}

TEST_F(ResStrings, XmlFileFilterIsWellFormed) {
    // "description|pattern|...||": pairs of fields closed by an empty one.
    const std::string filter = Text(104);
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter.substr(filter.size() - 2), "||");
    const std::string body = filter.substr(0, filter.size() - 2);
    const auto bars = std::count(body.begin(), body.end(), '|');
    EXPECT_EQ(bars % 2, 1) << "descriptions and patterns must pair up";
    EXPECT_NE(body.find("*.xml"), std::string::npos);
}

TEST_F(ResStrings, SampleRecordsFitTheEditors) {
    EXPECT_LE(Text(4).size(), 80u) << "client name";
    EXPECT_LE(Text(5).size(), 255u) << "project description";
    EXPECT_LE(Text(6).size(), 30u) << "category name";
    const std::string code = Text(7);
    EXPECT_LE(code.size(), 10u) << "category code";
    for (char c : code)
        EXPECT_FALSE(std::islower(static_cast<unsigned char>(c))) << "codes are upper case";
}

TEST_F(ResStrings, CustomLabelsFitTheLabelLimit) {
    for (unsigned id : {84u, 85u, 86u})
        EXPECT_LE(Text(id).size(), 30u) << "string " << id;
}

TEST_F(ResStrings, SummaryTimeExpenseMileageLabelsDiffer) {
    EXPECT_EQ((std::set<std::string>{Text(66), Text(67), Text(68)}).size(), 3u);
}
