// The data store on a failing disk (through the write-fault seam): after any failed write the
// documents in memory are what the files hold; IDs are never handed out twice whatever
// "lastId" says; temporary files of killed writers go at start; a linked data file is updated
// where it lives; a start that cannot write its new file says so.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/WriteFault.h"
#include "testing/FailingFile.h"

namespace fs = std::filesystem;

namespace {

using FailedWriteTest = BizTest;
using NewIdTest = BizTest;
using StoreStartTest = BizTest;

// Every way the writing of a file can fail before its new version takes the old one's place.
struct Fault {
    WriteFault::Op op;
    int error;
};
const Fault kFaults[] = {
    {WriteFault::Op::Open, ENOSPC}, {WriteFault::Op::Write, ENOSPC},   {WriteFault::Op::ShortWrite, ENOSPC},
    {WriteFault::Op::Sync, EIO},    {WriteFault::Op::Close, EIO},      {WriteFault::Op::Rename, EIO},
    {WriteFault::Op::Write, EIO},   {WriteFault::Op::ShortWrite, EIO},
};

std::vector<CString> Descriptions(const char16_t* kind) {
    std::unique_ptr<CObArray> list(GetCurrDataHelper()->GetObjectList(kind));
    std::vector<CString> texts;
    for (int i = 0; i < list->GetSize(); ++i)
        texts.push_back(static_cast<CBaseObject*>(list->GetAt(i))->get_Description());
    return texts;
}

bool Contains(const std::vector<CString>& texts, const char16_t* text) {
    return std::find(texts.begin(), texts.end(), CString(text)) != texts.end();
}

int SaveClient(const char16_t* description) {
    CClient client;
    client.set_Description(description);
    return client.Save() ? client.get_ID() : 0;
}

pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

}   // namespace

TEST_F(FailedWriteTest, FailedSaveIsNotWrittenByTheNextSave) {
    for (const Fault& fault : kFaults) {
        const std::string before = DataFileText();
        CClient lost;
        lost.set_Description(u"Lost");
        {
            WriteFault::Scope armed(fault.op, 1, fault.error);
            EXPECT_EQ(lost.Save(), 0);
            EXPECT_TRUE(WriteFault::Fired());
        }
        EXPECT_EQ(lost.get_IsDirty(), 1);
        EXPECT_FALSE(Store().GetLastWriteError().IsEmpty());
        EXPECT_EQ(DataFileText(), before);
        EXPECT_FALSE(Contains(Descriptions(u"client"), u"Lost"));
        ASSERT_NE(SaveClient(u"Kept"), 0);
        EXPECT_EQ(DataFileText().find("Lost"), std::string::npos);
        // The object can be saved again, under an ID of its own.
        ASSERT_EQ(lost.Save(), 1);
        CClient loaded;
        loaded.set_ID(lost.get_ID());
        ASSERT_EQ(loaded.Load(), 1);
        EXPECT_EQ(loaded.get_Description(), CString(u"Lost"));
        EXPECT_TRUE(Store().GetLastWriteError().IsEmpty());
        m_boxes.Answer(IDOK);
        ASSERT_EQ(loaded.Delete(), 1);
    }
    std::unique_ptr<CObArray> clients(Store().GetObjectList(u"client"));
    std::set<int> ids;
    for (int i = 0; i < clients->GetSize(); ++i)
        EXPECT_TRUE(ids.insert(static_cast<CBaseObject*>(clients->GetAt(i))->get_ID()).second);
}

TEST_F(FailedWriteTest, DiskFillingAtAnyPointOfTheDataFileKeepsItAsItWas) {
    const std::string before = DataFileText();
    CClient lost;
    lost.set_Description(u"Lost");
    // The new file is longer than the old one, so every limit below the old size cuts it.
    for (size_t limit = 0; limit < before.size(); limit += 97) {
        {
            FailingFile disk(limit);
            EXPECT_EQ(lost.Save(), 0) << limit;
            EXPECT_TRUE(disk.Failed()) << limit;
        }
        EXPECT_EQ(DataFileText(), before) << limit;
        EXPECT_FALSE(Contains(Descriptions(u"client"), u"Lost")) << limit;
        EXPECT_EQ(FolderEntries(m_home.DataFolder()), (std::vector<std::string>{"Quillmar.dat", "Quillmar.dat.lock"}))
            << limit;
    }
    ASSERT_EQ(lost.Save(), 1);
    EXPECT_NE(DataFileText().find("Lost"), std::string::npos);
}

TEST_F(FailedWriteTest, FailedChangeOfAStoredRecordKeepsItsStoredVersion) {
    CClient sample;
    sample.set_ID(1);
    ASSERT_EQ(sample.Load(), 1);
    const CString stored = sample.get_Description();
    sample.set_Description(u"Renamed");
    {
        WriteFault::Scope armed(WriteFault::Op::Rename, 1, ENOSPC);
        EXPECT_EQ(sample.Save(), 0);
    }
    CClient again;
    again.set_ID(1);
    ASSERT_EQ(again.Load(), 1);
    EXPECT_EQ(again.get_Description(), stored);
    ASSERT_NE(SaveClient(u"Unrelated"), 0);
    EXPECT_EQ(DataFileText().find("Renamed"), std::string::npos);
    EXPECT_EQ(sample.Save(), 1);
    EXPECT_NE(DataFileText().find("Renamed"), std::string::npos);
}

TEST_F(FailedWriteTest, FailedDeleteKeepsTheRecordAndLeavesNoMarker) {
    CProject project;
    project.set_ID(2);
    ASSERT_EQ(project.Load(), 1);
    CProjectItem entry;
    entry.set_ProjectRef(project.get_RefID());
    ASSERT_EQ(entry.Save(), 1);
    const std::string before = DataFileText();
    for (const Fault& fault : kFaults) {
        WriteFault::Scope armed(fault.op, 1, fault.error);
        m_boxes.Answer(IDYES);
        EXPECT_EQ(project.Delete(), 0);
    }
    EXPECT_EQ(DataFileText(), before);
    EXPECT_EQ(Descriptions(u"deleted").size(), 0u);
    EXPECT_EQ(Descriptions(u"projectItem").size(), 1u);
    ASSERT_NE(SaveClient(u"Unrelated"), 0);
    EXPECT_EQ(DataFileText().find("<deleted"), std::string::npos);
    EXPECT_EQ(project.Load(), 1);
}

TEST_F(FailedWriteTest, FailedMetaDataWriteIsTakenBack) {
    const CString lastSync = Store().GetMetaDataValue(u"lastSync");
    {
        WriteFault::Scope armed(WriteFault::Op::Sync, 1, EIO);
        EXPECT_EQ(Store().SetMetaDataValue(u"lastSync", u"1/1/2030 01:00:00 AM"), 0);
    }
    EXPECT_EQ(Store().GetMetaDataValue(u"lastSync"), lastSync);
    ASSERT_NE(SaveClient(u"Unrelated"), 0);
    EXPECT_EQ(DataFileText().find("2030"), std::string::npos);
}

TEST_F(FailedWriteTest, FailedFolderFlushIsReportedAndTheStoredVersionStays) {
    CClient client;
    client.set_Description(u"Written, not flushed");
    {
        WriteFault::Scope armed(WriteFault::Op::FolderSync, 1, EIO);
        EXPECT_EQ(client.Save(), 0);
    }
    EXPECT_EQ(client.get_IsDirty(), 1);
    EXPECT_FALSE(Store().GetLastWriteError().IsEmpty());
    // The file took the new version, so memory keeps it too, and saving again does not add a copy.
    EXPECT_NE(DataFileText().find("Written, not flushed"), std::string::npos);
    EXPECT_TRUE(Contains(Descriptions(u"client"), u"Written, not flushed"));
    ASSERT_EQ(client.Save(), 1);
    const std::vector<CString> clients = Descriptions(u"client");
    EXPECT_EQ(std::count(clients.begin(), clients.end(), CString(u"Written, not flushed")), 1);
}

TEST_F(NewIdTest, NextIdLiesAboveEveryStoredIdWhateverLastIdSays) {
    const std::string records =
        "<client id=\"5\" refId=\"C5\">\r\n<description>Five</description>\r\n</client>\r\n"
        "<deleted id=\"9\" refId=\"D9\">\r\n<description>client</description>\r\n</deleted>\r\n"
        "<project id=\"7\" refId=\"P7\" clientRef=\"C5\">\r\n<description>Seven</description>\r\n</project>\r\n";
    for (const std::string& metaData :
         {std::string("<metaData>\r\n<lastId>2</lastId>\r\n</metaData>\r\n"),
          std::string("<metaData>\r\n<lastId>many</lastId>\r\n</metaData>\r\n"),
          std::string("<metaData>\r\n<lastId>-40</lastId>\r\n</metaData>\r\n"),
          std::string("<metaData>\r\n<docVer>1</docVer>\r\n</metaData>\r\n"), std::string()}) {
        ASSERT_TRUE(WriteFileBytes(DataFilePath(), "<quillmar>\r\n" + metaData + records + "</quillmar>\r\n"));
        ASSERT_EQ(Store().Initialize(), 1);
        const int id = SaveClient(u"New");
        EXPECT_EQ(id, 10) << metaData;
        CClient loaded;
        loaded.set_ID(id);
        ASSERT_EQ(loaded.Load(), 1);
        EXPECT_EQ(loaded.get_Description(), CString(u"New"));
        EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), CString(u"10"));
        CProject unrelated;
        unrelated.set_ID(7);
        EXPECT_EQ(unrelated.Load(), 1);
    }
    EXPECT_TRUE(m_boxes.ShownBoxes().empty());
}

TEST_F(NewIdTest, IdsAboveLastIdAreNotReusedAfterAFailedSave) {
    CClient failed;
    {
        WriteFault::Scope armed(WriteFault::Op::Rename, 1, ENOSPC);
        ASSERT_EQ(failed.Save(), 0);
    }
    // "lastId" went back with the document; the failed object keeps the ID it was given.
    EXPECT_EQ(Store().GetMetaDataValue(u"lastId"), CString(u"3"));
    const int other = SaveClient(u"Other");
    ASSERT_EQ(failed.Save(), 1);
    EXPECT_NE(other, failed.get_ID());
}

TEST_F(NewIdTest, NoIdPastTheLargestInt) {
    for (const std::string text :
         {"<quillmar>\r\n<metaData>\r\n<lastId>2147483647</lastId>\r\n</metaData>\r\n</quillmar>\r\n",
          "<quillmar>\r\n<metaData>\r\n<lastId>1</lastId>\r\n</metaData>\r\n"
          "<client id=\"2147483647\" refId=\"MAX\">\r\n</client>\r\n</quillmar>\r\n"}) {
        ASSERT_TRUE(WriteFileBytes(DataFilePath(), text));
        ASSERT_EQ(Store().Initialize(), 1);
        EXPECT_EQ(Store().GenerateNewID(), 0);
        CClient client;
        EXPECT_EQ(client.Save(), 0);
        EXPECT_EQ(client.get_ID(), 0);
        EXPECT_EQ(DataFileText(), text);
        EXPECT_EQ(Descriptions(u"client").size(), text.find("MAX") == std::string::npos ? 0u : 1u);
    }
}

TEST_F(StoreStartTest, TemporaryFilesOfEndedWritersGoAtStart) {
    const std::string folder = m_home.DataFolder();
    const std::string dead = std::to_string(EndedProcess());
    const std::string live = std::to_string(::getppid());
    for (const char* name : {"Quillmar.dat", "desktop.xml", "device.xml"})
        ASSERT_TRUE(WriteFileBytes(folder + "/." + name + ".tmp-" + dead + "-3", "a copy of the data"));
    ASSERT_TRUE(WriteFileBytes(folder + "/.Quillmar.dat.tmp-" + live + "-1", "being written elsewhere"));
    ASSERT_EQ(Store().Initialize(), 1);
    // The lock file stays: it is what writers of the data file meet at.
    EXPECT_EQ(FolderEntries(folder),
              (std::vector<std::string>{".Quillmar.dat.tmp-" + live + "-1", "Quillmar.dat", "Quillmar.dat.lock"}));
}

TEST_F(StoreStartTest, LinkedDataFileIsUpdatedWhereItLives) {
    const std::string synced = m_home.Home() + "/synced";
    fs::create_directories(synced);
    fs::rename(DataFilePath(), synced + "/Quillmar.dat");
    fs::create_symlink(synced + "/Quillmar.dat", DataFilePath());
    ASSERT_EQ(Store().Initialize(), 1);
    ASSERT_NE(SaveClient(u"Through the link"), 0);
    EXPECT_TRUE(fs::is_symlink(DataFilePath()));
    EXPECT_NE(ReadFileBytes(synced + "/Quillmar.dat").find("Through the link"), std::string::npos);
    EXPECT_EQ(FolderEntries(synced), std::vector<std::string>{"Quillmar.dat"});
}

TEST_F(StoreStartTest, NewFileThatCannotBeWrittenAfterKeepingTheOldOneSaysSo) {
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), "not a data file"));
    m_boxes.Answer(IDOK);
    {
        WriteFault::Scope armed(WriteFault::Op::Rename, 1, ENOSPC);
        EXPECT_EQ(Store().Initialize(), 0);
    }
    ASSERT_EQ(m_boxes.ShownBoxes().size(), 1u);
    const CString& text = m_boxes.ShownBoxes()[0].text;
    EXPECT_GE(text.Find(u"has been kept as"), 0);
    EXPECT_GE(text.Find(u"could not be written"), 0);
    EXPECT_LT(text.Find(u"started"), 0);
    EXPECT_EQ(ReadFileBytes(DataFilePath() + ".unreadable-20040307-140500"), "not a data file");
    EXPECT_FALSE(FileExists(DataFilePath()));
}

// Property: through any run of saves, changes and deletions of entries where some writes fail
// (and some fail inside one deferred write of several edits), the document in memory is the
// data file to the byte after every step, and the entries found by date are the stored ones.
TEST_F(FailedWriteTest, MemoryIsTheFileAfterEveryFailedOrWrittenStep) {
    std::mt19937 rng(11);
    const auto pick = [&rng](int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng); };
    const COleDateTime day(2026, 3, 2, 0, 0, 0);
    std::vector<int> ids;
    for (int step = 0; step < 80; ++step) {
        const bool fail = pick(3) == 0;
        const int edits = pick(4) == 0 ? 3 : 1;
        std::unique_ptr<WriteFault::Scope> armed;
        if (fail)
            armed = std::make_unique<WriteFault::Scope>(kFaults[pick(8)].op, 1, kFaults[0].error);
        Store().BeginDeferredFlush();
        for (int k = 0; k < edits; ++k) {
            CProjectItem entry;
            if (!ids.empty() && pick(3) != 0) {
                entry.set_ID(ids[static_cast<size_t>(pick(static_cast<int>(ids.size())))]);
                if (!entry.Load())
                    continue;
            }
            entry.set_Description(CString(u"step ") + CString(std::to_string(step).c_str()));
            entry.set_ItemDate(day + COleDateTimeSpan(pick(10), 0, 0, 0));
            if (entry.get_ID() != 0 && pick(4) == 0) {
                m_boxes.Answer(IDOK);
                entry.Delete();
            } else if (entry.Save() && std::find(ids.begin(), ids.end(), entry.get_ID()) == ids.end()) {
                ids.push_back(entry.get_ID());
            }
        }
        const int written = Store().EndDeferredFlush();
        const bool fired = fail && WriteFault::Fired();
        armed.reset();
        if (fired) {
            EXPECT_EQ(written, 0) << step;
        }
        ASSERT_EQ(Store().GetCurrentDataStore()->GetDoc().ToUtf8(), DataFileText()) << "step " << step;
        // What the date index finds is what a fresh look at the file finds.
        const auto inRange = Store().GetEntriesInRange(day, day + COleDateTimeSpan(10, 0, 0, 0));
        std::string descriptions;
        for (const auto& entry : inRange)
            descriptions += entry->get_Description().ToUtf8() + ";";
        size_t stored = 0;
        for (size_t at = DataFileText().find("<projectItem "); at != std::string::npos;
             at = DataFileText().find("<projectItem ", at + 1))
            ++stored;
        ASSERT_EQ(inRange.size(), stored) << "step " << step << " " << descriptions;
    }
}
