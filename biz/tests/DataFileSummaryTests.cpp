// What a data file holds, as the Sync Direction dialog shows it for each side.
#include <gtest/gtest.h>

#include "biz/DataFileSummary.h"
#include "testing/TempFolder.h"
#include "testing/TestFiles.h"

namespace {

class DataFileSummaryTest : public ::testing::Test {
protected:
    CString Write(const std::string& text) {
        const std::string path = m_folder.Path() + "/Quillmar.dat";
        EXPECT_TRUE(WriteFileBytes(path, text));
        return CString::FromUtf8(path);
    }
    TempFolder m_folder;
};

TEST_F(DataFileSummaryTest, CountsRecordsByKindAndFindsTheLatestChange) {
    const CString path = Write(
        "<quillmar>\r\n"
        "<metaData><lastSync>2026-12-01T10:00:00</lastSync></metaData>\r\n"
        "<client id=\"1\" refId=\"C1\"><description>A</description><modified>11/2/2026 09:00:00 "
        "AM</modified></client>\r\n"
        "<project id=\"2\" refId=\"P1\" clientRef=\"C1\"><description>B</description>"
        "<modified>12/5/2026 05:30:00 PM</modified></project>\r\n"
        "<category id=\"3\" refId=\"K1\"><description>C</description></category>\r\n"
        "<projectItem id=\"4\" refId=\"E1\" projectRef=\"P1\"><modified>12/4/2026 08:00:00 "
        "AM</modified></projectItem>\r\n"
        "<projectItem id=\"5\" refId=\"E2\" projectRef=\"P1\"><modified>not a time</modified></projectItem>\r\n"
        "<deleted id=\"6\" refId=\"E3\"><description>projectItem</description>"
        "<modified>12/31/2026 11:00:00 PM</modified></deleted>\r\n"
        "</quillmar>\r\n");
    const std::optional<CDataFileSummary> summary = CDataFileSummary::Read(path);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->clients, 1);
    EXPECT_EQ(summary->projects, 1);
    EXPECT_EQ(summary->categories, 1);
    EXPECT_EQ(summary->entries, 2);
    EXPECT_EQ(summary->Records(), 5);
    // A deletion marker is no record and its time is no change of the data shown.
    ASSERT_TRUE(summary->lastChanged);
    EXPECT_EQ(summary->lastChanged->GetMonth(), 12);
    EXPECT_EQ(summary->lastChanged->GetDay(), 5);
    EXPECT_EQ(summary->lastChanged->GetHour(), 17);
}

TEST_F(DataFileSummaryTest, AnEmptyFileHoldsNothingAndWasNeverChanged) {
    const std::optional<CDataFileSummary> summary = CDataFileSummary::Read(Write("<quillmar>\r\n</quillmar>\r\n"));
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->Records(), 0);
    EXPECT_FALSE(summary->lastChanged);
}

TEST_F(DataFileSummaryTest, AMissingOrUnreadableFileGivesNothing) {
    EXPECT_FALSE(CDataFileSummary::Read(CString::FromUtf8(m_folder.Path() + "/absent.dat")));
    EXPECT_FALSE(CDataFileSummary::Read(CString()));
    EXPECT_FALSE(CDataFileSummary::Read(Write("not xml at all")));
}

}   // namespace
