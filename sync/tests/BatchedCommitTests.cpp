// Committing and serialising with the data store's record batch give the same files, byte for
// byte, as saving record by record: new, replaced and deleted records of every kind, deletion
// markers both ways, both conflict rules, and a change file naming a record twice.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/SyncHelper.h"
#include "platform/Clock.h"
#include "sync/tests/SyncTestSupport.h"

namespace {

// The files of one side at one moment.
struct SideFiles {
    std::string data;
    std::string own;     // "desktop.xml"; empty when absent
    std::string other;   // "device.xml"; empty when absent
    bool operator==(const SideFiles&) const = default;
};

class BatchedCommitTest : public SyncTest {
protected:
    void TearDown() override {
        CDataHelper::SetRecordBatchEnabled(true);
        SyncTest::TearDown();
    }

    std::string OwnChangeFile() const { return DesktopFolder() + "/desktop.xml"; }
    std::string OtherChangeFile() const { return DesktopFolder() + "/device.xml"; }

    static std::string ReadIfThere(const std::string& path) { return FileExists(path) ? ReadFileBytes(path) : ""; }
    SideFiles Files() const {
        return {ReadFileBytes(DesktopDataFile()), ReadIfThere(OwnChangeFile()), ReadIfThere(OtherChangeFile())};
    }
    void Restore(const SideFiles& files) {
        WriteBytes(DesktopDataFile(), files.data);
        for (const auto& [path, bytes] :
             {std::pair(OwnChangeFile(), files.own), std::pair(OtherChangeFile(), files.other)}) {
            std::remove(path.c_str());
            if (!bytes.empty())
                WriteBytes(path, bytes);
        }
        ASSERT_EQ(Store().Initialize(), 1);
    }
    static void WriteBytes(const std::string& path, const std::string& bytes) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    // The files after `step` ran from `start` at the same clock, with or without the batch.
    SideFiles After(const SideFiles& start, bool batched, const std::function<int()>& step) {
        Restore(start);
        Clock::Set(m_stepTime);
        CDataHelper::SetRecordBatchEnabled(batched);
        EXPECT_EQ(step(), 1);
        CDataHelper::SetRecordBatchEnabled(true);
        return Files();
    }
    void ExpectSameBothWays(const SideFiles& start, const std::function<int()>& step) {
        const SideFiles oneByOne = After(start, false, step);
        const SideFiles batched = After(start, true, step);
        EXPECT_NE(oneByOne.data, start.data);
        EXPECT_EQ(batched.data, oneByOne.data);
        EXPECT_EQ(batched.own, oneByOne.own);
        EXPECT_EQ(batched.other, oneByOne.other);
    }

    // This side: records of every kind, some changed and some deleted since the last
    // synchronisation, serialised into "desktop.xml"; the other side's "device.xml" beside it.
    SideFiles PrepareBothChangeFiles() {
        m_client = SaveNew<CClient>([](CClient& c) { c.set_Description(u"Client & Co"); }).get_RefID();
        m_project = SaveNew<CProject>([&](CProject& p) {
                        p.set_Description(u"Project");
                        p.set_ClientRef(m_client);
                    }).get_RefID();
        m_category = SaveNew<CCategory>([](CCategory& c) { c.set_Code(u"K"); }).get_RefID();
        for (int n = 0; n < 4; ++n) {
            m_entries.push_back(SaveNew<CProjectItem>([&](CProjectItem& e) {
                                    e.set_ProjectRef(m_project);
                                    e.set_Custom1(n % 2 ? u"odd" : u"even");
                                }).get_RefID());
        }
        EXPECT_EQ(CSyncHelper().UpdateLastSyncDateTime(), 1);
        Advance();
        // Changed here since: entry 0 (conflict), entry 1 (the other side deletes it); deleted
        // here: entry 2 (the other side changes it) and entry 3.
        for (int n : {0, 1})
            Edit<CProjectItem>(m_entries[static_cast<size_t>(n)],
                               [](CProjectItem& e) { e.set_Custom2(u"changed here"); });
        for (int n : {2, 3})
            Remove<CProjectItem>(m_entries[static_cast<size_t>(n)]);
        Advance();
        EXPECT_GT(CSyncHelper().SerializeLocalChanges(), 0);
        WriteBytes(OtherChangeFile(), IncomingChangeFile());
        Advance();
        m_stepTime = Clock::LocalNow();
        return Files();
    }

    std::string IncomingChangeFile() const {
        const std::string client = m_client.ToUtf8();
        const std::string project = m_project.ToUtf8();
        const std::string category = m_category.ToUtf8();
        const auto entry = [&](const std::string& refId, const std::string& custom) {
            return "<projectItem id=\"90\" refId=\"" + refId + "\" projectRef=\"" + project +
                   "\">\r\n<modified>3/2/2026 09:30:00 AM</modified>\r\n<itemDate>3/1/2026</itemDate>\r\n"
                   "<itemType>1</itemType>\r\n<pymtStatus>0</pymtStatus>\r\n<duration>30</duration>\r\n"
                   "<custom1>" +
                   custom + "</custom1>\r\n</projectItem>\r\n";
        };
        const auto marker = [](const std::string& refId, const std::string& kind) {
            return "<deleted id=\"91\" refId=\"" + refId + "\">\r\n<description>" + kind +
                   "</description>\r\n</deleted>\r\n";
        };
        return "<quillmar>\r\n"
               "<client id=\"80\" refId=\"" +
               client +
               "\">\r\n<description>Renamed there</description>\r\n"
               "<modified>3/2/2026 09:30:00 AM</modified>\r\n<contact>Bo &amp; Al</contact>\r\n</client>\r\n"
               "<client id=\"81\" refId=\"NEWCLIENT\">\r\n<description>New there</description>\r\n</client>\r\n"
               "<project id=\"82\" refId=\"NEWPROJECT\" "
               "clientRef=\"NEWCLIENT\">\r\n<description>P2</description>\r\n</project>\r\n"
               "<category id=\"83\" refId=\"" +
               category +
               "\">\r\n<description>Cat</description>\r\n<code>Q</code>\r\n</category>\r\n"
               "<category id=\"84\" refId=\"NEWCATEGORY\">\r\n<code>N</code>\r\n</category>\r\n" +
               entry(m_entries[0].ToUtf8(), "conflict from there") + entry(m_entries[2].ToUtf8(), "changed there") +
               entry("NEWENTRY1", "new 1") + entry("NEWENTRY2", "new 2") + entry("NEWENTRY1", "new 1 again") +
               marker(m_entries[1].ToUtf8(), "projectItem") + marker(category, "category") +
               marker("UNKNOWN", "client") + marker(project, "nosuchkind") + "</quillmar>\r\n";
    }

    CString m_client;
    CString m_project;
    CString m_category;
    std::vector<CString> m_entries;
    COleDateTime m_stepTime;
};

TEST_F(BatchedCommitTest, CommitGivesTheSameFilesAsRecordByRecord) {
    const SideFiles start = PrepareBothChangeFiles();
    ExpectSameBothWays(start, [] { return CSyncHelper().CommitRemoteChanges(); });
}

TEST_F(BatchedCommitTest, CommitOnTheDeviceRuleGivesTheSameFiles) {
    const SideFiles start = PrepareBothChangeFiles();
    ExpectSameBothWays(start, [] {
        CSyncHelper helper;
        helper.set_OwnChangesWin(false);
        return helper.CommitRemoteChanges();
    });
}

TEST_F(BatchedCommitTest, ApplyThenCompleteGiveTheSameFiles) {
    const SideFiles start = PrepareBothChangeFiles();
    ExpectSameBothWays(start, [] { return CSyncHelper().ApplyRemoteChanges(); });
    ExpectSameBothWays(start, [] {
        CSyncHelper helper;
        return helper.ApplyRemoteChanges() && helper.CompleteSynchronisation() ? 1 : 0;
    });
}

TEST_F(BatchedCommitTest, CommitWithoutOwnChangeFileGivesTheSameFiles) {
    SideFiles start = PrepareBothChangeFiles();
    start.own.clear();
    ExpectSameBothWays(start, [] { return CSyncHelper().CommitRemoteChanges(); });
}

TEST_F(BatchedCommitTest, SerialisingGivesTheSameChangeFile) {
    const SideFiles prepared = PrepareBothChangeFiles();
    SideFiles start = prepared;
    start.own.clear();
    start.other.clear();
    const auto serialise = [] { return CSyncHelper().SerializeLocalChanges() > 0 ? 1 : 0; };
    const SideFiles oneByOne = After(start, false, serialise);
    const SideFiles batched = After(start, true, serialise);
    EXPECT_FALSE(batched.own.empty());
    // Each change file has an identity of its own; everything else is the same.
    const auto withoutIdentity = [](std::string text) {
        const size_t at = text.find("changeSet=\"");
        if (at != std::string::npos)
            text.erase(at, text.find('"', at + 11) + 1 - at);
        return text;
    };
    EXPECT_EQ(batched.data, oneByOne.data);
    EXPECT_EQ(withoutIdentity(batched.own), withoutIdentity(oneByOne.own));
}

TEST_F(BatchedCommitTest, BatchedCommitConvergesWithTheDeviceSide) {
    FullSyncToDevice();
    SaveNew<CClient>([](CClient& c) { c.set_Description(u"Desktop"); });
    OnDevice([] {
        for (int n = 0; n < 3; ++n)
            SaveNew<CProjectItem>([](CProjectItem& e) { e.set_Custom1(u"device"); });
    });
    Advance();
    Synchronise();
    ExpectConverged();
}

}   // namespace
