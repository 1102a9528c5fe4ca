// CSV export of entries: RFC 4180 quoting, read back field by field with a reader written from
// the RFC (and, where python3 is installed, with Python's csv module), the fields and their
// formats, the formula guard and writing the file.
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "biz/CsvWriter.h"
#include "biz/EntryCsvExport.h"
#include "biz/ProjectItemFilter.h"
#include "biz/tests/BizTestSupport.h"
#include "biz/tests/ReportTestData.h"

namespace {

using Table = std::vector<std::vector<std::string>>;

// RFC 4180: records end in CR LF; a field is either plain (no comma, quote, CR or LF) or quoted,
// with quotes inside doubled. nullopt for text that breaks these rules.
std::optional<Table> ReadCsv(const std::string& text) {
    Table table;
    size_t at = 0;
    while (at < text.size()) {
        std::vector<std::string> record;
        for (;;) {
            std::string field;
            if (at < text.size() && text[at] == '"') {
                for (++at;; ++at) {
                    if (at >= text.size())
                        return std::nullopt;
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            field += '"';
                            ++at;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    field += text[at];
                }
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r') {
                    if (text[at] == '"' || text[at] == '\n')
                        return std::nullopt;
                    field += text[at++];
                }
            }
            record.push_back(field);
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (text.compare(at, 2, "\r\n") != 0)
                return std::nullopt;
            at += 2;
            break;
        }
        table.push_back(record);
    }
    return table;
}

std::string Hex(const std::string& bytes) {
    std::string hex;
    char digits[3];
    for (unsigned char ch : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", ch);
        hex += digits;
    }
    return hex;
}

// One line per record, each field as hexadecimal UTF-8 ("-" for an empty field).
std::string HexLines(const Table& table) {
    std::string lines;
    for (const auto& record : table) {
        for (size_t i = 0; i < record.size(); ++i)
            lines += (i ? " " : "") + (record[i].empty() ? std::string("-") : Hex(record[i]));
        lines += "\n";
    }
    return lines;
}

std::optional<std::string> RunCommand(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string output;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    if (pclose(pipe) != 0)
        return std::nullopt;
    return output;
}

std::string Utf8(const CString& text) { return text.ToUtf8(); }

class CsvExportTest : public BizTest {
protected:
    void SetUp() override {
        BizTest::SetUp();
        data = ReportTestData::Create();
        march.m_dtStart = March(1);
        march.m_dtEnd = March(31);
    }

    static CEntryCsvExport::Options Only(std::initializer_list<CEntryCsvExport::Field> fields) {
        CEntryCsvExport::Options options;
        options.include.fill(0);
        for (CEntryCsvExport::Field field : fields)
            options.include[field] = 1;
        return options;
    }

    // An entry whose texts hold everything CSV has to protect.
    CString SaveAwkwardEntry() {
        CProjectItem entry;
        entry.set_ItemType(CProjectItem::ItemType_Time);
        entry.set_ProjectRef(data.website);
        entry.set_ItemDate(March(20));
        entry.set_BillAmount(-12.5f);
        entry.set_Description(CString("Müller, Söhne & \"Co\" – 東京"));
        entry.set_Notes(u"Line one, with a comma\r\nLine \"two\"\nLine three");
        entry.set_Custom1(u"=HYPERLINK(\"http://x\")");
        entry.set_Custom2(u"-5 refund");
        EXPECT_EQ(entry.Save(), 1);
        return entry.get_RefID();
    }

    ReportTestData data;
    CProjectItemFilter march;
};

TEST(CsvWriterTest, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CCsvWriter::Quoted("plain text"), "plain text");
    EXPECT_EQ(CCsvWriter::Quoted(""), "");
    EXPECT_EQ(CCsvWriter::Quoted("a,b"), "\"a,b\"");
    EXPECT_EQ(CCsvWriter::Quoted("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CCsvWriter::Quoted("one\r\ntwo"), "\"one\r\ntwo\"");
    EXPECT_EQ(CCsvWriter::Quoted("one\ntwo"), "\"one\ntwo\"");
}

TEST(CsvWriterTest, DecimalHoursFromMinutes) {
    EXPECT_EQ(CCsvWriter::DecimalHours(0), CString(u"0.00"));
    EXPECT_EQ(CCsvWriter::DecimalHours(1), CString(u"0.02"));
    EXPECT_EQ(CCsvWriter::DecimalHours(20), CString(u"0.33"));
    EXPECT_EQ(CCsvWriter::DecimalHours(59), CString(u"0.98"));
    EXPECT_EQ(CCsvWriter::DecimalHours(90), CString(u"1.50"));
    EXPECT_EQ(CCsvWriter::DecimalHours(-75), CString(u"-1.25"));
    EXPECT_EQ(CCsvWriter::DecimalHours(6000), CString(u"100.00"));
}

TEST_F(CsvExportTest, EveryFieldOfEachTypeOfEntry) {
    int rows = 0;
    const std::optional<Table> table = ReadCsv(CEntryCsvExport::Build(march, CEntryCsvExport::Options(), &rows));
    ASSERT_TRUE(table);
    EXPECT_EQ(rows, 6);
    ASSERT_EQ(table->size(), 7u);
    EXPECT_EQ((*table)[0], (std::vector<std::string>{"Date", "Client", "Project", "Category", "Description",
                                                     "Start Time", "End Time", "Hours", "Minutes", "Entry Type",
                                                     "Billable", "Amount", "Billing Status", "Odometer Start",
                                                     "Odometer End", "Custom 1", "Custom 2", "Custom 3", "Notes"}));
    // Entries as the view lists them, by date.
    EXPECT_EQ((*table)[1],
              (std::vector<std::string>{"2004-03-01", "Acme", "Website", "DES", "Work", "14:00:00", "15:00:00", "1.50",
                                        "90", "Time Entry", "Yes", "75.00", "Not Billed", "", "", "", "", "", ""}));
    EXPECT_EQ((*table)[2][11], "49.99");
    EXPECT_EQ((*table)[2][12], "Paid");
    EXPECT_EQ((*table)[3][10], "No");
    EXPECT_EQ((*table)[4],
              (std::vector<std::string>{"2004-03-09", "Acme", "Audit", "", "Parts", "", "", "", "", "Expense Entry",
                                        "Yes", "120.10", "Billed", "", "", "", "", "", ""}));
    EXPECT_EQ((*table)[5],
              (std::vector<std::string>{"2004-03-15", "Bolt", "Repair", "", "Drive", "", "", "", "", "Mileage Entry",
                                        "Yes", "14.70", "Not Billed", "1000", "1042", "", "", "", ""}));
    EXPECT_EQ((*table)[6][11], "-5.00");
}

TEST_F(CsvExportTest, ChosenFieldsWithTheUsersLabelsAndDates) {
    CEntryCsvExport::Options options = Only({CEntryCsvExport::Field_Date, CEntryCsvExport::Field_StartTime,
                                             CEntryCsvExport::Field_Duration, CEntryCsvExport::Field_Custom1});
    options.customLabels[0] = u"PO number";
    options.format.userDateFormat = true;
    const std::optional<Table> table = ReadCsv(CEntryCsvExport::Build(march, options));
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[0], (std::vector<std::string>{"Date", "Start Time", "Hours", "Minutes", "PO number"}));
    EXPECT_EQ((*table)[1], (std::vector<std::string>{"3/1/2004", "2:00:00 PM", "1.50", "90", ""}));
    EXPECT_EQ((*table)[6], (std::vector<std::string>{"3/31/2004", "", "", "", ""}));
}

TEST_F(CsvExportTest, DurationOnlyTimeEntryHasNoTimesOfDay) {
    CProjectItem entry = LoadEntry(SaveAwkwardEntry());
    entry.set_StartTime(COleDateTime(1899, 12, 30, 0, 0, 0));   // a duration only: both times on the zero date-time
    entry.set_EndTime(COleDateTime(1899, 12, 30, 0, 0, 0));
    ASSERT_EQ(entry.Save(), 1);
    march.m_dtStart = march.m_dtEnd = March(20);
    const std::optional<Table> table = ReadCsv(CEntryCsvExport::Build(
        march, Only({CEntryCsvExport::Field_StartTime, CEntryCsvExport::Field_EndTime, CEntryCsvExport::Field_Type})));
    ASSERT_TRUE(table);
    ASSERT_EQ(table->size(), 2u);
    EXPECT_EQ((*table)[1], (std::vector<std::string>{"", "", "Time Entry"}));
}

TEST_F(CsvExportTest, TheViewsFilterChoosesTheRows) {
    march.m_bActive = 1;
    march.m_strClientRef = data.bolt;
    int rows = 0;
    const std::optional<Table> table =
        ReadCsv(CEntryCsvExport::Build(march, Only({CEntryCsvExport::Field_Amount}), &rows));
    ASSERT_TRUE(table);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(*table, (Table{{"Amount"}, {"14.70"}, {"-5.00"}}));

    march.m_dtEnd = COleDateTime(2004, 2, 1, 0, 0, 0);
    EXPECT_EQ(CEntryCsvExport::Build(march, Only({CEntryCsvExport::Field_Amount}), &rows), "Amount\r\n");
    EXPECT_EQ(rows, 0);
}

TEST_F(CsvExportTest, AwkwardTextsReadBackFieldByField) {
    SaveAwkwardEntry();
    march.m_dtStart = march.m_dtEnd = March(20);
    CEntryCsvExport::Options options =
        Only({CEntryCsvExport::Field_Description, CEntryCsvExport::Field_Amount, CEntryCsvExport::Field_Custom1,
              CEntryCsvExport::Field_Custom2, CEntryCsvExport::Field_Notes});
    options.format.guardFormulas = false;
    const std::string text = CEntryCsvExport::Build(march, options);
    const std::optional<Table> table = ReadCsv(text);
    ASSERT_TRUE(table) << text;
    ASSERT_EQ(table->size(), 2u);
    EXPECT_EQ((*table)[1],
              (std::vector<std::string>{"Müller, Söhne & \"Co\" – 東京", "-12.50", "=HYPERLINK(\"http://x\")",
                                        "-5 refund", "Line one, with a comma\r\nLine \"two\"\nLine three"}));

    // Guarded, a spreadsheet shows the texts instead of running them; the amount stays a number.
    options.format.guardFormulas = true;
    const std::optional<Table> guarded = ReadCsv(CEntryCsvExport::Build(march, options));
    ASSERT_TRUE(guarded);
    EXPECT_EQ((*guarded)[1][1], "-12.50");
    EXPECT_EQ((*guarded)[1][2], "'=HYPERLINK(\"http://x\")");
    EXPECT_EQ((*guarded)[1][3], "'-5 refund");
    EXPECT_EQ((*guarded)[1][0], (*table)[1][0]);
}

TEST_F(CsvExportTest, PythonsCsvModuleReadsTheSameValues) {
    if (!RunCommand("python3 -c 'import csv' 2>/dev/null"))
        GTEST_SKIP() << "python3 is not installed";
    SaveAwkwardEntry();
    march.m_dtEnd = March(31);
    const std::string path = m_home.Home() + "/entries.csv";
    CString error;
    ASSERT_TRUE(CEntryCsvExport::Write(CString(path), march, CEntryCsvExport::Options(), error)) << Utf8(error);
    const std::string script = m_home.Home() + "/read.py";
    ASSERT_TRUE(WriteFileBytes(script,
                               "import csv, sys\n"
                               "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                               "    for row in csv.reader(f):\n"
                               "        print(' '.join(v.encode('utf-8').hex() or '-' for v in row))\n"));
    const std::optional<std::string> python = RunCommand("python3 '" + script + "' '" + path + "'");
    ASSERT_TRUE(python);
    const std::optional<Table> table = ReadCsv(ReadFileBytes(path));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 8u);
    EXPECT_EQ(*python, HexLines(*table));
}

TEST_F(CsvExportTest, ByteOrderMarkOnlyWhenAsked) {
    CEntryCsvExport::Options options = Only({CEntryCsvExport::Field_Amount});
    EXPECT_EQ(CEntryCsvExport::Build(march, options).rfind("Amount\r\n", 0), 0u);
    options.format.byteOrderMark = true;
    EXPECT_EQ(CEntryCsvExport::Build(march, options)
                  .rfind("\xEF\xBB\xBF"
                         "Amount\r\n",
                         0),
              0u);
}

TEST_F(CsvExportTest, WritesTheFileOrSaysItCouldNot) {
    const CEntryCsvExport::Options options;
    const std::string path = m_home.Home() + "/out.csv";
    CString error;
    ASSERT_TRUE(CEntryCsvExport::Write(CString(path), march, options, error));
    EXPECT_EQ(ReadFileBytes(path), CEntryCsvExport::Build(march, options));
    EXPECT_TRUE(error.IsEmpty());

    const std::string folder = m_home.Home() + "/taken";
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(CEntryCsvExport::Write(CString(folder), march, options, error));
    EXPECT_EQ(error, CString(u"Cannot save ") + CString(folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

}   // namespace
