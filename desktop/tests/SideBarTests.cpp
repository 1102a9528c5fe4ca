// The clients and projects side bar: fill rules, pending selection, edit and delete, context menu.
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest>

#include "biz/Client.h"
#include "biz/Helpers.h"
#include "biz/ProjectItemFilter.h"
#include "desktop/CommandIds.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ViewByDate.h"
#include "desktop/ViewClientsProjectsSideBar.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/PopupMenu.h"
#include "ui/shared/TreeCtrlEx.h"

using namespace testsupport;

namespace {
QStringList Children(QTreeWidgetItem* node) {
    QStringList texts;
    for (int index = 0; node && index < node->childCount(); ++index)
        texts << node->child(index)->text(0);
    return texts;
}
}   // namespace

class SideBarTests : public ProgramTest {
    Q_OBJECT
private:
    CViewClientsProjectsSideBar& SideBar() { return *Frame().GetSideBarView(); }
    CTreeCtrlEx& Tree() { return *SideBar().GetTreeCtrl(); }
    QString NoClientText() { return qtconv::ToQString(GetResString(3, 1)); }
    QStringList TopTexts() {
        QStringList texts;
        for (int index = 0; index < Tree().topLevelItemCount(); ++index)
            texts << Tree().topLevelItem(index)->text(0);
        return texts;
    }

    void RightClick(QTreeWidgetItem* node) {
        const QRect rect = Tree().visualItemRect(node);
        const QPoint onLabel = rect.topLeft() + QPoint(20, rect.height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, onLabel, Tree().viewport()->mapToGlobal(onLabel));
        QApplication::sendEvent(Tree().viewport(), &event);
    }

private slots:
    void init() { QVERIFY(StartFresh()); }
    void cleanup() { StopProgram(m_app); }

    void sampleDataShowsTheSampleClientWithItsProject() {
        QCOMPARE(Tree().topLevelItemCount(), 2);   // the sample client and the no-client node
        QTreeWidgetItem* client = Tree().FindNode(0, 1);
        QVERIFY(client);
        QCOMPARE(Children(client).size(), 1);
        QVERIFY(client->isExpanded());
        QVERIFY(!client->icon(0).isNull());
    }

    void clientsAndProjectsAreSortedAlphabetically() {
        const int zulu = AddClient(u"Zulu");
        const int alpha = AddClient(u"alpha");
        AddProject(u"Roof", alpha);
        AddProject(u"basement", alpha);
        AddProject(u"Attic", alpha);
        AddProject(u"Loose", 0);
        SideBar().Fill();
        const QStringList top = TopTexts();
        QVERIFY(top.indexOf("alpha") < top.indexOf("Zulu"));
        QCOMPARE(Children(Tree().FindNode(0, alpha)), (QStringList{"Attic", "basement", "Roof"}));
        QCOMPARE(Children(Tree().FindNode(0, 0)), (QStringList{"Loose"}));
        QVERIFY(Tree().FindNode(0, zulu));
        QVERIFY(!Tree().FindNode(0, zulu)->isExpanded());
        QCOMPARE(CTreeCtrlEx::NodeValue(Tree().FindNode(0, 0)), 0);
    }

    void hideClientsWithNoProjects() {
        const int empty = AddClient(u"Empty");
        m_app->m_bHideClientsWithNoProjects = 1;
        SideBar().Fill();
        QVERIFY(!Tree().FindNode(0, empty));
        // No project without a client: the no-client node goes as well.
        QVERIFY(!TopTexts().contains(NoClientText()));
        AddProject(u"Loose", 0);
        SideBar().Fill();
        QVERIFY(TopTexts().contains(NoClientText()));
        m_app->m_bHideClientsWithNoProjects = 0;
        SideBar().Fill();
        QVERIFY(Tree().FindNode(0, empty));
    }

    void projectOfADeletedClientIsShownWithoutAClient() {
        const int client = AddClient(u"Gone");
        const int orphan = AddProject(u"Orphan", client);
        {
            MessageBoxScript boxes({IDOK, IDNO});   // delete the client, keep its project
            CClient record;
            record.set_ID(client);
            QVERIFY(record.Load());
            QVERIFY(record.Delete());
        }
        SideBar().Fill();
        QTreeWidgetItem* node = Tree().FindNode(1, orphan);
        QVERIFY(node);
        QCOMPARE(node->parent()->text(0), NoClientText());
    }

    void pendingSelectionSelectsTheNewProjectEvenWhenCollapsed() {
        const int client = AddClient(u"Acme");
        AddProject(u"First", client);
        SideBar().Fill();
        Tree().FindNode(0, client)->setExpanded(false);
        const int project = AddProject(u"Second", client);
        SideBar().SetPendingSelection(RefIdOf(project, u"project"));
        SideBar().Fill();
        QCOMPARE(Tree().SelectedValue(), project);
        QCOMPARE(CTreeCtrlEx::NodeLevel(Tree().SelectedNode()), 1);
        // Refresh clears it.
        Trigger(Frame(), cmd::ViewRefresh);
        QVERIFY(!Tree().PendingSelection());
        QCOMPARE(Tree().SelectedValue(), 0);
    }

    void deletingAProjectRefreshesTheEntriesToo() {
        const int client = AddClient(u"Acme");
        const int project = AddProject(u"Doomed", client);
        AddEntry(1, Frame().GetEntriesView()->GetFilter().m_dtStart, project, 3.0f);
        Frame().RefreshAll();
        QCOMPARE(Frame().GetEntriesView()->GetListCtrl()->topLevelItemCount(), 1);
        Tree().setCurrentItem(Tree().FindNode(1, project));
        Frame().SetActivePane(CMainFrame::Pane::SideBar);
        MessageBoxScript boxes({IDYES});
        Trigger(Frame(), cmd::EditDelete);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(!Tree().FindNode(1, project));
        QCOMPARE(Frame().GetEntriesView()->GetListCtrl()->topLevelItemCount(), 0);
    }

    void deletingAClientCancelledKeepsTheTree() {
        const int client = AddClient(u"Keep");
        SideBar().Fill();
        Tree().setCurrentItem(Tree().FindNode(0, client));
        MessageBoxScript boxes({IDCANCEL});
        SideBar().OnDelete();
        QVERIFY(Tree().FindNode(0, client));
    }

    void contextMenuSelectsTheClickedNodeFirst() {
        const int client = AddClient(u"Acme");
        SideBar().Fill();
        Tree().setCurrentItem(Tree().FindNode(0, 0));
        {
            PopupScript menu("");
            RightClick(Tree().FindNode(0, client));
            QCOMPARE(menu.Shown(), 1);
            QVERIFY(menu.WasEnabled("contextEdit"));
            QVERIFY(menu.WasEnabled("contextDelete"));
            QCOMPARE(Tree().SelectedValue(), client);   // dismissed, but the click selected it
        }
        PopupScript menu("");
        RightClick(Tree().FindNode(0, 0));
        QVERIFY(!menu.WasEnabled("contextEdit"));
        QVERIFY(!menu.WasEnabled("contextDelete"));
    }

    void contextMenuEditWorksWithNothingSelectedBefore() {
        const int client = AddClient(u"Acme");
        const int project = AddProject(u"Web", client);
        SideBar().Fill();
        Tree().clearSelection();
        Tree().setCurrentItem(nullptr);
        // Enter right away chooses the item the menu opens on: Edit.
        const PopupMenuHandler previous =
            SetPopupMenuHandler([](QMenu& menu, const QPoint&) { return menu.activeAction(); });
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        RightClick(Tree().FindNode(1, project));
        SetPopupMenuHandler(previous);
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(dialogs.Unexpected(), 0);
    }

    void enterEditsTheSelectedNode() {
        const int client = AddClient(u"Acme");
        SideBar().Fill();
        Tree().setCurrentItem(Tree().FindNode(0, client));
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        QTest::keyClick(&Tree(), Qt::Key_Return);
        QCOMPARE(dialogs.Shown(), 1);
        // The no-client node has no record to edit.
        Tree().setCurrentItem(Tree().FindNode(0, 0));
        QTest::keyClick(&Tree(), Qt::Key_Return);
        QCOMPARE(dialogs.Shown(), 1);
    }

    void contextMenuOutsideALabelShowsNothing() {
        SideBar().Fill();
        PopupScript menu("");
        const QPoint empty(5, Tree().viewport()->height() - 3);
        QContextMenuEvent event(QContextMenuEvent::Mouse, empty, Tree().viewport()->mapToGlobal(empty));
        QApplication::sendEvent(Tree().viewport(), &event);
        QCOMPARE(menu.Shown(), 0);
    }

    void contextMenuDeleteActsOnTheClickedNode() {
        const int client = AddClient(u"Acme");
        const int project = AddProject(u"Web", client);
        SideBar().Fill();
        Tree().setCurrentItem(Tree().FindNode(0, client));
        QTreeWidgetItem* projectNode = Tree().FindNode(1, project);
        const QRect rect = Tree().visualItemRect(projectNode);
        const QPoint onLabel = rect.topLeft() + QPoint(20, rect.height() / 2);
        PopupScript menu("contextDelete");
        MessageBoxScript boxes({IDYES});
        QContextMenuEvent event(QContextMenuEvent::Mouse, onLabel, Tree().viewport()->mapToGlobal(onLabel));
        QApplication::sendEvent(Tree().viewport(), &event);
        QCOMPARE(menu.Shown(), 1);
        QVERIFY(!Tree().FindNode(1, project));
        QVERIFY(Tree().FindNode(0, client));
    }

    void editingAClientCancelledChangesNothing() {
        const int client = AddClient(u"Acme");
        SideBar().Fill();
        Tree().setCurrentItem(Tree().FindNode(0, client));
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        SideBar().OnEdit();
        QCOMPARE(dialogs.Shown(), 1);
        QVERIFY(Tree().FindNode(0, client));
    }
};

DESKTOP_TEST_MAIN(SideBarTests)
#include "SideBarTests.moc"
