// Client, project and category dialogs.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cerrno>
#include <memory>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/MessageBox.h"
#include "platform/WriteFault.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/DlgCategories.h"
#include "ui/shared/dialogs/DlgClient.h"
#include "ui/shared/dialogs/DlgEditCategory.h"
#include "ui/shared/dialogs/DlgNotes.h"
#include "ui/shared/dialogs/DlgProject.h"
#include "ui/shared/dialogs/EditCategory.h"
#include "ui/shared/dialogs/EditClient.h"
#include "ui/shared/dialogs/EditProject.h"
#include "ui/shared/dialogs/ManageCategories.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {
struct RecordDialogsFixture : ::testing::Test {
    void SetUp() override { ResetDataStore(); }

    template <typename T>
    static T Loaded(int id) {
        T record;
        record.set_ID(id);
        EXPECT_EQ(1, record.Load());
        return record;
    }

    static int RowOf(QListWidget* list, const QString& text) {
        const auto items = list->findItems(text, Qt::MatchExactly);
        return items.isEmpty() ? -1 : list->row(items.first());
    }
};
}   // namespace

TEST_F(RecordDialogsFixture, ClientWithoutANameSaysSoAndKeepsWhatWasTyped) {
    MessageBoxScript messages;
    CClient client;
    const std::string before = DataFileContents();
    DialogScript script({[&](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        auto* details = dynamic_cast<CDlgClient*>(sheet.GetPage(0));
        details->AddressEdit()->setPlainText(QStringLiteral("1 High Street"));
        details->AccountNumEdit()->setText(QStringLiteral("A-17"));
        EXPECT_TRUE(sheet.SetActivePage(1));
        dynamic_cast<CDlgNotes*>(sheet.GetPage(1))->NotesEdit()->setPlainText(QStringLiteral("VIP"));
        EXPECT_FALSE(sheet.PressOK());
        EXPECT_TRUE(messages.ShownOnlyText(u"Please enter a name for the client."));
        EXPECT_EQ(0, sheet.GetActiveIndex());
        EXPECT_EQ(QStringLiteral("1 High Street"), details->AddressEdit()->toPlainText());
        details->NameEdit()->setText(QStringLiteral("Northwind"));
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditClient(&client));
    const CClient stored = Loaded<CClient>(client.get_ID());
    EXPECT_EQ(u"Northwind", stored.get_Description());
    EXPECT_EQ(u"1 High Street", stored.get_Address());
    EXPECT_EQ(u"A-17", stored.get_AccountNum());
    EXPECT_EQ(u"VIP", stored.get_Notes());
    EXPECT_NE(before, DataFileContents());
}

TEST_F(RecordDialogsFixture, ClientThatCannotBeWrittenIsReportedAndTheSheetStays) {
    MessageBoxScript messages;
    CClient client;
    const std::string before = DataFileContents();
    DialogScript script({[&](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        auto* details = dynamic_cast<CDlgClient*>(sheet.GetPage(0));
        details->NameEdit()->setText(QStringLiteral("Northwind"));
        details->ContactEdit()->setText(QStringLiteral("Ann"));
        {
            WriteFault::Scope full(WriteFault::Op::Write, 1, ENOSPC);
            EXPECT_FALSE(sheet.PressOK());
        }
        EXPECT_EQ(1u, messages.Shown().size());
        const CString shown = messages.Shown().at(0).text;
        EXPECT_NE(-1, shown.Find(GetCurrDataHelper()->GetDataFilePath()));
        EXPECT_NE(-1, shown.Find(u"No space left on device"));
        EXPECT_EQ(QStringLiteral("Ann"), details->ContactEdit()->text());
        EXPECT_EQ(before, DataFileContents());
        return PressSheetCancel(dialog);
    }});
    EXPECT_EQ(0, EditClient(&client));
    EXPECT_EQ(before, DataFileContents());
    std::unique_ptr<CObArray> clients(GetCurrDataHelper()->GetObjectList(u"client"));
    EXPECT_EQ(1, clients->GetSize());   // memory holds what the file holds
}

TEST_F(RecordDialogsFixture, ClientFieldsAreWrittenBackAndSaved) {
    CClient client = Loaded<CClient>(1);
    DialogScript script({[](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        EXPECT_EQ(Text(GetResString(10, 1)), sheet.windowTitle());
        EXPECT_EQ(2, sheet.GetPageCount());
        auto* details = dynamic_cast<CDlgClient*>(sheet.GetPage(0));
        EXPECT_EQ(80, details->NameEdit()->maxLength());
        EXPECT_EQ(100, details->AccountNumEdit()->maxLength());
        EXPECT_EQ(255, details->ContactEdit()->maxLength());
        details->NameEdit()->setText(QStringLiteral("Northwind"));
        details->AddressEdit()->setPlainText(QStringLiteral("1 High Street\nLeeds"));
        details->AccountNumEdit()->setText(QStringLiteral("A-17"));
        details->ContactEdit()->setText(QStringLiteral("Ann"));
        EXPECT_TRUE(sheet.SetActivePage(1));
        dynamic_cast<CDlgNotes*>(sheet.GetPage(1))->NotesEdit()->setPlainText(QStringLiteral("VIP"));
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditClient(&client));
    const CClient stored = Loaded<CClient>(1);
    EXPECT_EQ(u"Northwind", stored.get_Description());
    EXPECT_EQ(u"1 High Street\nLeeds", stored.get_Address());
    EXPECT_EQ(u"A-17", stored.get_AccountNum());
    EXPECT_EQ(u"Ann", stored.get_Contact());
    EXPECT_EQ(u"VIP", stored.get_Notes());
}

TEST_F(RecordDialogsFixture, ClientOkWithoutChangesSavesNothing) {
    CClient client = Loaded<CClient>(1);
    const std::string before = DataFileContents();
    DialogScript script({[](QDialog& dialog) { return PressSheetOk(dialog); }});
    EXPECT_EQ(0, EditClient(&client));
    EXPECT_EQ(before, DataFileContents());
}

TEST_F(RecordDialogsFixture, ProjectLeadingClientEntryStoresAnEmptyReference) {
    CProject project = Loaded<CProject>(2);
    EXPECT_EQ(u"SAMP001", project.get_ClientRef());
    DialogScript script({[](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        EXPECT_EQ(Text(GetResString(11, 1)), sheet.windowTitle());
        auto* details = dynamic_cast<CDlgProject*>(sheet.GetPage(0));
        QComboBox* clients = details->ClientCombo();
        EXPECT_EQ(Text(GetResString(18, 1)), clients->itemText(0));
        EXPECT_EQ(Text(GetResString(4, 1)), clients->currentText());
        clients->setCurrentIndex(0);
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProject(&project));
    EXPECT_EQ(u"", Loaded<CProject>(2).get_ClientRef());
}

TEST_F(RecordDialogsFixture, ProjectWhoseClientWasDeletedOpensOnTheLeadingEntry) {
    const int project = AddProject(u"Orphan", u"GONE42");
    CProject record = Loaded<CProject>(project);
    DialogScript script({[](QDialog& dialog) {
        auto* details = dynamic_cast<CDlgProject*>(AsSheet(dialog).GetPage(0));
        EXPECT_EQ(0, details->ClientCombo()->currentIndex());
        details->ClientCombo()->setCurrentIndex(1);
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProject(&record));
    EXPECT_EQ(u"SAMP001", Loaded<CProject>(project).get_ClientRef());
}

TEST_F(RecordDialogsFixture, ProjectWithoutADescriptionSaysSoAndStaysOpen) {
    MessageBoxScript messages;
    CProject project;
    DialogScript script({[&](QDialog& dialog) {
        EXPECT_FALSE(AsSheet(dialog).PressOK());
        EXPECT_TRUE(messages.ShownOnlyText(u"Please enter a name for the project."));
        return PressSheetCancel(dialog);
    }});
    EXPECT_EQ(0, EditProject(&project));
    EXPECT_EQ(0, project.get_ID());
}

TEST_F(RecordDialogsFixture, ProjectOfADeletedClientKeepsItsReferenceWhenLeftAsShown) {
    const CString clientRef = RefIdOf(AddClient(u"Gone"), u"client");
    const int project = AddProject(u"Orphan", clientRef);
    {
        MessageBoxScript answers({IDOK, IDNO});   // delete the client, keep its project
        CClient client;
        client.set_ID(GetCurrDataHelper()->RefID_To_ID(clientRef, u"client"));
        ASSERT_EQ(1, client.Delete());
    }
    CProject record = Loaded<CProject>(project);
    DialogScript script({[](QDialog& dialog) {
        auto* details = dynamic_cast<CDlgProject*>(AsSheet(dialog).GetPage(0));
        EXPECT_EQ(Text(GetResString(18, 1)), details->ClientCombo()->currentText());
        details->DescriptionEdit()->setText(QStringLiteral("Orphan, renamed"));
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProject(&record));
    EXPECT_EQ(clientRef, Loaded<CProject>(project).get_ClientRef());
    EXPECT_EQ(u"Orphan, renamed", Loaded<CProject>(project).get_Description());
}

TEST_F(RecordDialogsFixture, CategoryThatCannotBeWrittenIsReportedAndTheDialogStays) {
    MessageBoxScript messages;
    CCategory category = Loaded<CCategory>(3);
    const std::string before = DataFileContents();
    DialogScript script({[&](QDialog& dialog) {
        auto& edit = dynamic_cast<CDlgEditCategory&>(dialog);
        edit.RateEdit()->setText(QStringLiteral("150000.25"));
        {
            WriteFault::Scope readOnly(WriteFault::Op::Open, 1, EROFS);
            edit.OnOK();
        }
        EXPECT_NE(QDialog::Accepted, edit.result());
        EXPECT_EQ(1u, messages.Shown().size());
        EXPECT_NE(-1, messages.Shown().at(0).text.Find(u"Read-only file system"));
        EXPECT_EQ(QStringLiteral("150000.25"), edit.RateEdit()->text());
        edit.OnOK();
        return edit.result();
    }});
    EXPECT_EQ(1, EditCategory(&category));
    EXPECT_EQ(150000.25f, Loaded<CCategory>(3).get_Quillmar());
    EXPECT_NE(std::string::npos, DataFileContents().find("<quillmar>150000.25</quillmar>"));
}

TEST_F(RecordDialogsFixture, DeletedCategoryThatCannotBeWrittenStaysListed) {
    MessageBoxScript messages({IDYES});
    AddCategory(u"Travel", u"TRAV", 40.0f);
    const std::string before = DataFileContents();
    DialogScript script({[&](QDialog& dialog) {
        auto& categories = dynamic_cast<CDlgCategories&>(dialog);
        QListWidget* list = categories.List();
        const int travel = RowOf(list, QStringLiteral("Travel"));
        list->setCurrentRow(travel);
        WriteFault::Scope full(WriteFault::Op::Rename, 1, ENOSPC);
        categories.DeleteButton()->click();
        EXPECT_EQ(travel, RowOf(list, QStringLiteral("Travel")));
        return static_cast<int>(QDialog::Rejected);
    }});
    ManageCategories();
    ASSERT_EQ(2u, messages.Shown().size());   // the confirmation, then the failure
    EXPECT_NE(-1, messages.Shown().at(1).text.Find(GetCurrDataHelper()->GetDataFilePath()));
    EXPECT_EQ(before, DataFileContents());
}

TEST_F(RecordDialogsFixture, DeletingTheLastCategoryShowsMessage2) {
    MessageBoxScript messages;
    DialogScript script({[&](QDialog& dialog) {
        auto& categories = dynamic_cast<CDlgCategories&>(dialog);
        EXPECT_EQ(QStringLiteral("Categories"), categories.windowTitle());
        EXPECT_EQ(1, categories.List()->count());
        categories.DeleteButton()->click();
        EXPECT_TRUE(messages.ShownOnly(2));
        EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, messages.Shown()[0].flags);
        EXPECT_EQ(1, categories.List()->count());
        categories.OnOK();
        return categories.result();
    }});
    EXPECT_EQ(1, ManageCategories());
    EXPECT_EQ(3, Loaded<CCategory>(3).get_ID());
}

TEST_F(RecordDialogsFixture, DeclinedDeletionLeavesTheList) {
    AddCategory(u"Travel", u"TRAV", 1.0f);
    MessageBoxScript messages({IDNO});
    DialogScript script({[&](QDialog& dialog) {
        auto& categories = dynamic_cast<CDlgCategories&>(dialog);
        categories.List()->setCurrentRow(RowOf(categories.List(), QStringLiteral("Travel")));
        categories.DeleteButton()->click();
        EXPECT_EQ(2, categories.List()->count());
        categories.reject();
        return categories.result();
    }});
    EXPECT_EQ(0, ManageCategories());
}

TEST_F(RecordDialogsFixture, ConfirmedDeletionRemovesTheEntryAndSelectsNothing) {
    AddCategory(u"Travel", u"TRAV", 1.0f);
    MessageBoxScript messages({IDYES, IDOK, IDOK});
    DialogScript script({[&](QDialog& dialog) {
        auto& categories = dynamic_cast<CDlgCategories&>(dialog);
        categories.List()->setCurrentRow(RowOf(categories.List(), QStringLiteral("Travel")));
        categories.DeleteButton()->click();
        EXPECT_EQ(1, categories.List()->count());
        EXPECT_EQ(0, categories.SelectedID());
        categories.reject();
        return categories.result();
    }});
    ManageCategories();
    CObArray* list = GetCurrDataHelper()->GetObjectList(u"category");
    EXPECT_EQ(1, list->GetSize());
    DisposeObArray(list);
}

TEST_F(RecordDialogsFixture, SelectModeWithoutSelectionShowsMessage29) {
    MessageBoxScript messages;
    CCategory category;
    DialogScript script({[&](QDialog& dialog) {
        auto& categories = dynamic_cast<CDlgCategories&>(dialog);
        EXPECT_EQ(0, categories.List()->currentRow());   // ID 0: the top entry
        categories.List()->setCurrentRow(-1);
        categories.OnOK();
        EXPECT_TRUE(messages.ShownOnly(29));
        EXPECT_NE(QDialog::Accepted, categories.result());
        categories.List()->setCurrentRow(0);
        categories.OnOK();
        return categories.result();
    }});
    EXPECT_EQ(1, ManageCategories(&category));
    EXPECT_EQ(3, category.get_ID());
}

TEST_F(RecordDialogsFixture, NewCategoryIsAddedAndSelected) {
    DialogScript script({
        [&](QDialog& dialog) {
            auto& categories = dynamic_cast<CDlgCategories&>(dialog);
            categories.NewButton()->click();
            EXPECT_EQ(2, categories.List()->count());
            EXPECT_EQ(QStringLiteral("Travel Time"), categories.List()->currentItem()->text());
            categories.OnOK();
            return categories.result();
        },
        [&](QDialog& dialog) {
            auto& edit = dynamic_cast<CDlgEditCategory&>(dialog);
            EXPECT_FALSE(edit.OkButton()->isEnabled());
            QTest::keyClicks(edit.NameEdit(), QStringLiteral("Travel Time"));
            EXPECT_FALSE(edit.OkButton()->isEnabled());
            QTest::keyClicks(edit.CodeEdit(), QStringLiteral("trav"));
            EXPECT_EQ(QStringLiteral("TRAV"), edit.CodeEdit()->text());
            EXPECT_TRUE(edit.OkButton()->isEnabled());
            edit.RateEdit()->setText(QStringLiteral("45.5"));
            edit.OnOK();
            return edit.result();
        },
    });
    EXPECT_EQ(1, ManageCategories());
}

TEST_F(RecordDialogsFixture, EditCategoryRefusesARateThatIsNotANumber) {
    MessageBoxScript messages;
    CCategory category = Loaded<CCategory>(3);
    DialogScript script({[&](QDialog& dialog) {
        auto& edit = dynamic_cast<CDlgEditCategory&>(dialog);
        EXPECT_EQ(QStringLiteral("Edit Category"), edit.windowTitle());
        EXPECT_TRUE(edit.OkButton()->isEnabled());
        EXPECT_EQ(30, edit.NameEdit()->maxLength());
        EXPECT_EQ(10, edit.CodeEdit()->maxLength());
        edit.RateEdit()->setText(QStringLiteral("lots"));
        edit.OnOK();
        EXPECT_TRUE(messages.ShownOnlyText(u"Please enter a number."));
        EXPECT_NE(QDialog::Accepted, edit.result());
        edit.RateEdit()->setText(QStringLiteral("80"));
        edit.NameEdit()->clear();
        EXPECT_FALSE(edit.OkButton()->isEnabled());
        edit.NameEdit()->setText(QStringLiteral("Consulting"));
        edit.OnOK();
        return edit.result();
    }});
    EXPECT_EQ(1, EditCategory(&category));
    const CCategory stored = Loaded<CCategory>(3);
    EXPECT_EQ(u"Consulting", stored.get_Description());
    EXPECT_FLOAT_EQ(80.0f, stored.get_Quillmar());
}

TEST_F(RecordDialogsFixture, EditCategoryOkWithoutChangesSavesNothing) {
    CCategory category = Loaded<CCategory>(3);
    const std::string before = DataFileContents();
    DialogScript script({[](QDialog& dialog) {
        static_cast<CDialog&>(dialog).OnOK();
        return dialog.result();
    }});
    EXPECT_EQ(0, EditCategory(&category));
    EXPECT_EQ(before, DataFileContents());
}
