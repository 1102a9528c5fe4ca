// Deleting clients and projects: confirmations, what goes with them, the markers they leave.
#include <cerrno>
#include <memory>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/tests/BizTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/WriteFault.h"

namespace {

using CascadeTest = BizTest;

CString Text(const char* utf8) { return CString(utf8); }

CString SaveProject(const CString& description, const CString& clientRef) {
    CProject project;
    project.set_Description(description);
    project.set_ClientRef(clientRef);
    EXPECT_EQ(project.Save(), 1);
    return project.get_RefID();
}

int SaveEntry(const CString& projectRef) {
    CProjectItem entry;
    entry.set_ProjectRef(projectRef);
    EXPECT_EQ(entry.Save(), 1);
    return entry.get_ID();
}

std::vector<std::pair<int, CString>> Markers() {
    std::unique_ptr<CObArray> list(GetCurrDataHelper()->GetObjectList(u"deleted"));
    std::vector<std::pair<int, CString>> markers;
    for (int i = 0; i < list->GetSize(); ++i) {
        auto* marker = static_cast<CBaseObject*>(list->GetAt(i));
        markers.emplace_back(marker->get_ID(), marker->get_Description());
    }
    return markers;
}

std::vector<CString> Remaining(const char* kind) {
    std::unique_ptr<CObArray> list(GetCurrDataHelper()->GetObjectList(CString(kind)));
    std::vector<CString> refs;
    for (int i = 0; i < list->GetSize(); ++i)
        refs.push_back(static_cast<CBaseObject*>(list->GetAt(i))->get_RefID());
    return refs;
}

}   // namespace

TEST_F(CascadeTest, ClientWithTwoProjectsAsksThreeTimesAndKeepsTheRefusedProject) {
    const CString kept = SaveProject(u"Kept", u"SAMP001");
    m_boxes.Answer(IDOK);    // the client
    m_boxes.Answer(IDYES);   // the sample project
    m_boxes.Answer(IDNO);    // "Kept"
    CClient client;
    client.set_ID(1);
    ASSERT_EQ(client.Delete(), 1);
    ASSERT_EQ(m_boxes.ShownBoxes().size(), 3u);
    EXPECT_EQ(m_boxes.ShownBoxes()[0].text, GetResString(19, 1));
    EXPECT_EQ(m_boxes.ShownBoxes()[0].flags, unsigned(MB_OKCANCEL | MB_ICONSTOP));
    // Each project's question names it, so the user can tell which one to keep.
    EXPECT_EQ(m_boxes.ShownBoxes()[1].flags, unsigned(MB_YESNO | MB_ICONQUESTION));
    std::vector<CString> asked;
    for (size_t box = 1; box < 3; ++box) {
        const CString& text = m_boxes.ShownBoxes()[box].text;
        EXPECT_EQ(text.Right(GetResString(20, 1).GetLength()), GetResString(20, 1));
        asked.push_back(text.Left(text.GetLength() - GetResString(20, 1).GetLength()));
    }
    const CString sample = GetResString(5, 1);   // the sample project, asked about first
    EXPECT_GE(asked[0].Find(sample), 0) << asked[0].ToUtf8();
    EXPECT_GE(asked[1].Find(u"Kept"), 0) << asked[1].ToUtf8();
    EXPECT_LT(asked[1].Find(sample), 0);
    EXPECT_EQ(Remaining("client"), std::vector<CString>{});
    EXPECT_EQ(Remaining("project"), std::vector<CString>{kept});
    CProject keptProject;
    keptProject.set_ID(GetCurrDataHelper()->RefID_To_ID(kept, u"project"));
    ASSERT_EQ(keptProject.Load(), 1);
    EXPECT_EQ(keptProject.get_ClientRef(), Text("SAMP001"));
    EXPECT_EQ(Markers(), (std::vector<std::pair<int, CString>>{{2, Text("project")}, {1, Text("client")}}));
}

TEST_F(CascadeTest, ProjectDeletionThatCannotBeWrittenStopsTheClientDeletion) {
    const CString second = SaveProject(u"Second", u"SAMP001");
    m_boxes.Answer(IDOK);    // the client
    m_boxes.Answer(IDYES);   // the sample project: written
    m_boxes.Answer(IDYES);   // "Second": its write fails
    const unsigned failedBefore = Store().GetFailedWriteCount();
    WriteFault::Scope full(WriteFault::Op::Rename, 2, EIO);
    CClient client;
    client.set_ID(1);
    EXPECT_EQ(client.Delete(), 0);
    EXPECT_EQ(m_boxes.ShownBoxes().size(), 3u);
    EXPECT_EQ(Store().GetFailedWriteCount(), failedBefore + 1);
    EXPECT_EQ(Remaining("client"), std::vector<CString>{Text("SAMP001")});
    EXPECT_EQ(Remaining("project"), std::vector<CString>{second});
    EXPECT_EQ(Markers(), (std::vector<std::pair<int, CString>>{{2, Text("project")}}));
    EXPECT_EQ(DataFileText().find("<description>client</description>"), std::string::npos);
}

TEST_F(CascadeTest, CancelledClientDeletionChangesNothing) {
    const std::string before = DataFileText();
    m_boxes.Answer(IDCANCEL);
    CClient client;
    client.set_ID(1);
    EXPECT_EQ(client.Delete(), 0);
    EXPECT_EQ(m_boxes.ShownBoxes().size(), 1u);
    EXPECT_EQ(DataFileText(), before);
}

TEST_F(CascadeTest, ClientWithoutProjectsAsksOnce) {
    CClient client;
    client.set_Description(u"Lonely");
    ASSERT_EQ(client.Save(), 1);
    m_boxes.Answer(IDOK);
    ASSERT_EQ(client.Delete(), 1);
    EXPECT_EQ(m_boxes.ShownBoxes().size(), 1u);
    EXPECT_EQ(m_boxes.Unexpected(), 0);
}

TEST_F(CascadeTest, ProjectDeletionRemovesItsEntriesAndLeavesAMarkerForEach) {
    const CString other = SaveProject(u"Other", u"SAMP001");
    const int first = SaveEntry(u"SAMP002");
    const int foreign = SaveEntry(other);
    const int second = SaveEntry(u"SAMP002");
    CProject project;
    project.set_ID(2);
    m_boxes.Answer(IDYES);
    ASSERT_EQ(project.Delete(), 1);
    EXPECT_EQ(m_boxes.ShownBoxes().size(), 1u);   // entries go without asking
    std::unique_ptr<CObArray> entries(GetCurrDataHelper()->GetObjectList(u"projectItem"));
    ASSERT_EQ(entries->GetSize(), 1);
    EXPECT_EQ(static_cast<CBaseObject*>(entries->GetAt(0))->get_ID(), foreign);
    EXPECT_EQ(Markers(), (std::vector<std::pair<int, CString>>{
                             {first, Text("projectItem")}, {second, Text("projectItem")}, {2, Text("project")}}));
    // The markers keep the entries' RefIDs, by which the other side finds them.
    std::unique_ptr<CObArray> markers(GetCurrDataHelper()->GetObjectList(u"deleted"));
    EXPECT_FALSE(static_cast<CBaseObject*>(markers->GetAt(0))->get_RefID().IsEmpty());
    EXPECT_EQ(GetCurrDataHelper()->ID_To_RefID(first, u"projectItem"),
              static_cast<CBaseObject*>(markers->GetAt(0))->get_RefID());
}

TEST_F(CascadeTest, RefusedProjectDeletionKeepsEverything) {
    SaveEntry(u"SAMP002");
    const std::string before = DataFileText();
    CProject project;
    project.set_ID(2);
    m_boxes.Answer(IDNO);
    EXPECT_EQ(project.Delete(), 0);
    EXPECT_EQ(DataFileText(), before);
}

TEST_F(CascadeTest, DeletingAProjectTwiceFailsTheSecondTime) {
    CProject project;
    project.set_ID(2);
    m_boxes.Answer(IDYES);
    ASSERT_EQ(project.Delete(), 1);
    m_boxes.Answer(IDYES);
    EXPECT_EQ(project.Delete(), 0);
    EXPECT_EQ(Markers().size(), 1u);
}

TEST_F(CascadeTest, ClientDeletionOffersTheProjectsAnotherProgramAddedMeanwhile) {
    // Another process (a synchronisation committing) adds a project of the client to the file.
    std::string text = DataFileText();
    const size_t end = text.rfind("</quillmar>");
    ASSERT_NE(end, std::string::npos);
    text.insert(end,
                "<project id=\"50\" refId=\"OTHERPROC50\" clientRef=\"SAMP001\">\r\n"
                "<description>Added elsewhere</description>\r\n</project>\r\n");
    ASSERT_TRUE(WriteFileBytes(DataFilePath(), text));
    m_boxes.Answer(IDOK);    // the client
    m_boxes.Answer(IDYES);   // the sample project
    m_boxes.Answer(IDYES);   // the project added elsewhere
    CClient client;
    client.set_ID(1);
    ASSERT_EQ(client.Delete(), 1);
    EXPECT_EQ(m_boxes.ShownBoxes().size(), 3u);
    // No project is left pointing at the deleted client.
    EXPECT_EQ(Remaining("client"), std::vector<CString>{});
    EXPECT_EQ(Remaining("project"), std::vector<CString>{});
}
