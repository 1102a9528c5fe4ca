// The entry editor sheet: copy in, validation that keeps the Details page, Calc., write-back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cerrno>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/WriteFault.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/shared/dialogs/DlgBillingDetails.h"
#include "ui/shared/dialogs/DlgCategories.h"
#include "ui/shared/dialogs/DlgCustom.h"
#include "ui/shared/dialogs/DlgEditDuration.h"
#include "ui/shared/dialogs/DlgExpenseDetails.h"
#include "ui/shared/dialogs/DlgMileageDetails.h"
#include "ui/shared/dialogs/DlgNotes.h"
#include "ui/shared/dialogs/DlgTimeDetails.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/tests/TestAppHost.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {

constexpr int kSampleProjectId = 2;
constexpr int kSampleCategoryId = 3;

struct EntryEditorFixture : ::testing::Test {
    void SetUp() override { ResetDataStore(); }
    void TearDown() override { Clock::Set(std::nullopt); }

    static CProjectItem SavedEntry(CProjectItem::ItemType type) {
        CProjectItem entry;
        entry.set_ItemType(type);
        entry.set_ProjectRef(u"SAMP002");
        entry.set_Description(u"Work");
        entry.set_ItemDate(COleDateTime(2004, 3, 7, 0, 0, 0));
        if (type == CProjectItem::ItemType_Time)
            entry.set_CategoryRef(u"SAMP003");
        if (type == CProjectItem::ItemType_Expense)
            entry.set_Description2(u"Taxi");
        if (type == CProjectItem::ItemType_Mileage) {
            entry.set_OdometerStart(100);
            entry.set_OdometerEnd(180);
        }
        entry.set_BillAmount(12.5f);
        entry.set_Custom1(u"C1");
        entry.set_Notes(u"Some notes");
        EXPECT_EQ(1, entry.Save());
        return Reloaded(entry.get_ID());
    }

    // The test program's host (installed by its main).
    static TestAppHost& Host() { return dynamic_cast<TestAppHost&>(*GetAppHost()); }

    static CProjectItem Reloaded(int id) {
        CProjectItem entry;
        entry.set_ID(id);
        EXPECT_EQ(1, entry.Load());
        return entry;
    }

    template <typename Page>
    static Page* PageOf(QDialog& dialog, int index) {
        return dynamic_cast<Page*>(AsSheet(dialog).GetPage(index));
    }

    // Every tab once, then OK.
    static int VisitAllAndOk(QDialog& dialog) {
        for (int page = 1; page < 4; ++page)
            EXPECT_TRUE(AsSheet(dialog).SetActivePage(page));
        return PressSheetOk(dialog);
    }
};

}   // namespace

TEST_F(EntryEditorFixture, OkWithoutChangesSavesNothingForEveryType) {
    for (auto type : {CProjectItem::ItemType_Time, CProjectItem::ItemType_Expense, CProjectItem::ItemType_Mileage}) {
        CProjectItem entry = SavedEntry(type);
        const std::string before = DataFileContents();
        DialogScript script({[](QDialog& dialog) { return VisitAllAndOk(dialog); }});
        EXPECT_EQ(0, EditProjectItem(&entry)) << "type " << type;
        EXPECT_EQ(before, DataFileContents());
        EXPECT_EQ(0, entry.get_IsDirty());
    }
}

TEST_F(EntryEditorFixture, AmountsTypedSurviveToTheCentAndOnesAFloatCannotKeepAreRefused) {
    for (const char* typed : {"12345.67", "99999.99", "150000.25"}) {
        CProjectItem entry = SavedEntry(CProjectItem::ItemType_Expense);
        DialogScript script({[&](QDialog& dialog) {
            EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
            auto* billing = PageOf<CDlgBillingDetails>(dialog, 1);
            EXPECT_EQ(QStringLiteral("12.50"), billing->AmountEdit()->text());
            billing->AmountEdit()->setText(QString::fromLatin1(typed));
            return PressSheetOk(dialog);
        }});
        EXPECT_EQ(1, EditProjectItem(&entry));
        ASSERT_EQ(1, GetCurrDataHelper()->Initialize());
        DialogScript reopened({[&](QDialog& dialog) {
            EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
            EXPECT_EQ(QString::fromLatin1(typed), PageOf<CDlgBillingDetails>(dialog, 1)->AmountEdit()->text());
            return PressSheetCancel(dialog);
        }});
        CProjectItem stored = Reloaded(entry.get_ID());
        EditProjectItem(&stored);
    }
    MessageBoxScript messages;
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Expense);
    DialogScript script({[&](QDialog& dialog) {
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
        auto* billing = PageOf<CDlgBillingDetails>(dialog, 1);
        billing->AmountEdit()->setText(QStringLiteral("150000.01"));
        EXPECT_FALSE(AsSheet(dialog).PressOK());
        EXPECT_EQ(1u, messages.Shown().size());
        return PressSheetCancel(dialog);
    }});
    EXPECT_EQ(0, EditProjectItem(&entry));
    EXPECT_EQ(12.5f, Reloaded(entry.get_ID()).get_BillAmount());
}

TEST_F(EntryEditorFixture, SaveThatCannotBeWrittenIsReportedAndKeepsTheSheet) {
    MessageBoxScript messages;
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Expense);
    const std::string before = DataFileContents();
    DialogScript script({[&](QDialog& dialog) {
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
        auto* billing = PageOf<CDlgBillingDetails>(dialog, 1);
        billing->StatusButton(CProjectItem::PymtStatus_Paid)->setChecked(true);
        billing->AmountEdit()->setText(QStringLiteral("49.99"));
        {
            WriteFault::Scope denied(WriteFault::Op::Rename, 1, EIO);
            EXPECT_FALSE(AsSheet(dialog).PressOK());
        }
        EXPECT_EQ(1u, messages.Shown().size());
        EXPECT_NE(-1, messages.Shown().at(0).text.Find(GetCurrDataHelper()->GetDataFilePath()));
        EXPECT_EQ(before, DataFileContents());
        EXPECT_EQ(QStringLiteral("49.99"), billing->AmountEdit()->text());
        return PressSheetOk(dialog);   // the disk is back: the same OK saves
    }});
    EXPECT_EQ(1, EditProjectItem(&entry));
    const CProjectItem stored = Reloaded(entry.get_ID());
    EXPECT_EQ(49.99f, stored.get_BillAmount());
    EXPECT_EQ(CProjectItem::PymtStatus_Paid, stored.get_PymtStatus());
}

TEST_F(EntryEditorFixture, DeletedCategoryIsShownAndOkWithoutChangeKeepsIt) {
    const int category = AddCategory(u"Travel", u"TRAV", 40.0f);
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Time);
    const CString travelRef = RefIdOf(category, u"category");
    entry.set_CategoryRef(travelRef);
    ASSERT_EQ(1, entry.Save());
    {
        MessageBoxScript yes({IDYES});
        CCategory travel;
        travel.set_ID(category);
        ASSERT_EQ(1, travel.Delete());
    }
    CProjectItem reloaded = Reloaded(entry.get_ID());
    const std::string before = DataFileContents();
    DialogScript script({[](QDialog& dialog) {
        QComboBox* categories = PageOf<CDlgTimeDetails>(dialog, 0)->CategoryCombo();
        EXPECT_EQ(QStringLiteral("(deleted category)"), categories->currentText());
        return VisitAllAndOk(dialog);
    }});
    EXPECT_EQ(0, EditProjectItem(&reloaded));
    EXPECT_EQ(before, DataFileContents());
    EXPECT_EQ(travelRef, Reloaded(entry.get_ID()).get_CategoryRef());
}

TEST_F(EntryEditorFixture, EntryOfADeletedProjectSaysSoAndStaysEditable) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Expense);
    entry.set_ProjectRef(u"GONE7");   // deleted on the other side and synchronised
    ASSERT_EQ(1, entry.Save());
    CProjectItem reloaded = Reloaded(entry.get_ID());
    DialogScript script({[](QDialog& dialog) {
        auto* details = PageOf<CDlgExpenseDetails>(dialog, 0);
        EXPECT_EQ(QStringLiteral("(deleted project)"), details->ProjectText()->text());
        details->DescriptionEdit()->setPlainText(QStringLiteral("Still billable"));
        return VisitAllAndOk(dialog);
    }});
    EXPECT_EQ(1, EditProjectItem(&reloaded));
    const CProjectItem stored = Reloaded(entry.get_ID());
    EXPECT_EQ(u"GONE7", stored.get_ProjectRef());
    EXPECT_EQ(u"Still billable", stored.get_Description());
}

TEST_F(EntryEditorFixture, SheetHasCaptionAndFourPagesInOrder) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Time);
    DialogScript script({[&](QDialog& dialog) {
        CPropertySheetEx& sheet = AsSheet(dialog);
        EXPECT_EQ(Text(GetResString(28, 1)), sheet.windowTitle());
        EXPECT_EQ(4, sheet.GetPageCount());
        EXPECT_EQ(u"Details", sheet.GetPage(0)->GetCaption());
        EXPECT_EQ(u"Billing", sheet.GetPage(1)->GetCaption());
        EXPECT_EQ(u"Custom", sheet.GetPage(2)->GetCaption());
        EXPECT_EQ(u"Notes", sheet.GetPage(3)->GetCaption());
        EXPECT_EQ(0, sheet.GetActiveIndex());
        auto* details = PageOf<CDlgTimeDetails>(dialog, 0);
        EXPECT_EQ(QStringLiteral("Sun, Mar 7, 2004"), details->DatePicker()->text());
        EXPECT_EQ(Text(FormatProjectName(u"SAMP002")), details->ProjectText()->text());
        EXPECT_EQ(Text(GetResString(7, 1)), details->CategoryCombo()->currentText());
        return PressSheetCancel(dialog);
    }});
    EXPECT_EQ(0, EditProjectItem(&entry));
}

TEST_F(EntryEditorFixture, UnknownItemTypeShowsNothing) {
    CProjectItem entry;
    entry.set_ItemType(static_cast<CProjectItem::ItemType>(7));
    DialogScript script({});
    EXPECT_EQ(0, EditProjectItem(&entry));
    EXPECT_EQ(0, script.Shown());
}

TEST_F(EntryEditorFixture, EveryPageWritesBackAndTheEntryIsSaved) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Time);
    const int otherCategory = AddCategory(u"Travel", u"TRAV", 40.0f);
    DialogScript script({[&](QDialog& dialog) {
        auto* details = PageOf<CDlgTimeDetails>(dialog, 0);
        details->DescriptionEdit()->setPlainText(QStringLiteral("Changed"));
        details->DatePicker()->setDate(QDate(2004, 4, 1));
        details->CategoryCombo()->setCurrentIndex(details->CategoryCombo()->findText(QStringLiteral("TRAV")));
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
        auto* billing = PageOf<CDlgBillingDetails>(dialog, 1);
        billing->AmountEdit()->setText(QStringLiteral("99.5"));
        billing->BillableCheck()->setChecked(false);
        billing->StatusButton(2)->setChecked(true);
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(2));
        PageOf<CDlgCustom>(dialog, 2)->CustomEdit(3)->setText(QStringLiteral("INV-7"));
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(3));
        PageOf<CDlgNotes>(dialog, 3)->NotesEdit()->setPlainText(QStringLiteral("New notes"));
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProjectItem(&entry));
    const CProjectItem stored = Reloaded(entry.get_ID());
    EXPECT_EQ(u"Changed", stored.get_Description());
    EXPECT_EQ(2004, stored.get_ItemDate().GetYear());
    EXPECT_EQ(4, stored.get_ItemDate().GetMonth());
    EXPECT_EQ(RefIdOf(otherCategory, u"category"), stored.get_CategoryRef());
    EXPECT_FLOAT_EQ(99.5f, stored.get_BillAmount());
    EXPECT_EQ(0, stored.get_IsBillable());
    EXPECT_EQ(CProjectItem::PymtStatus_Paid, stored.get_PymtStatus());
    EXPECT_EQ(u"C1", stored.get_Custom1());
    EXPECT_EQ(u"INV-7", stored.get_Custom3());
    EXPECT_EQ(u"New notes", stored.get_Notes());
}

TEST_F(EntryEditorFixture, PagesNeverOpenedKeepTheEntryValues) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Expense);
    DialogScript script({[&](QDialog& dialog) {
        PageOf<CDlgExpenseDetails>(dialog, 0)->DescriptionEdit()->setPlainText(QStringLiteral("Airport"));
        EXPECT_FALSE(AsSheet(dialog).GetPage(2)->IsCreated());
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProjectItem(&entry));
    const CProjectItem stored = Reloaded(entry.get_ID());
    EXPECT_EQ(u"Airport", stored.get_Description());
    EXPECT_EQ(u"C1", stored.get_Custom1());
    EXPECT_EQ(u"Some notes", stored.get_Notes());
    EXPECT_FLOAT_EQ(12.5f, stored.get_BillAmount());
}

TEST_F(EntryEditorFixture, NoProjectShowsMessage27AndKeepsTheDetailsPage) {
    for (auto type : {CProjectItem::ItemType_Time, CProjectItem::ItemType_Expense, CProjectItem::ItemType_Mileage}) {
        CProjectItem entry;
        entry.set_ItemType(type);
        entry.set_Description2(u"Taxi");
        MessageBoxScript messages;
        const std::string before = DataFileContents();
        DialogScript script({[&](QDialog& dialog) {
            EXPECT_FALSE(AsSheet(dialog).SetActivePage(1));
            EXPECT_EQ(0, AsSheet(dialog).GetActiveIndex());
            EXPECT_FALSE(AsSheet(dialog).PressOK());
            return PressSheetCancel(dialog);
        }});
        EXPECT_EQ(0, EditProjectItem(&entry));
        ASSERT_EQ(2u, messages.Shown().size());
        EXPECT_EQ(GetResString(27, 1), messages.Shown()[0].text);
        EXPECT_EQ(GetResString(27, 1), messages.Shown()[1].text);
        EXPECT_EQ(before, DataFileContents());
    }
}

TEST_F(EntryEditorFixture, ProjectButtonTakesTheProjectThePickerChose) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Expense);
    entry.set_Description2(u"Taxi");
    CString highlighted = u"unset";
    Host().m_selectProject = [&highlighted](CProject& project) {
        highlighted = project.get_RefID();
        project.set_ID(kSampleProjectId);
        return project.Load();
    };
    DialogScript script({[&](QDialog& dialog) {
        auto* details = PageOf<CDlgExpenseDetails>(dialog, 0);
        details->ProjectButton()->click();
        EXPECT_EQ(Text(FormatProjectName(u"SAMP002")), details->ProjectText()->text());
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProjectItem(&entry));
    Host().m_selectProject = nullptr;
    // A new entry has no project to highlight.
    EXPECT_EQ(CString(), highlighted);
    EXPECT_EQ(u"SAMP002", Reloaded(entry.get_ID()).get_ProjectRef());
}

TEST_F(EntryEditorFixture, ExpenseWithoutTypeShowsMessage109) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Expense);
    entry.set_ProjectRef(u"SAMP002");
    MessageBoxScript messages;
    DialogScript script({[&](QDialog& dialog) {
        auto* details = PageOf<CDlgExpenseDetails>(dialog, 0);
        EXPECT_EQ(QString(), details->ExpenseTypeCombo()->currentText());
        EXPECT_FALSE(AsSheet(dialog).PressOK());
        EXPECT_TRUE(messages.ShownOnly(109));
        details->ExpenseTypeCombo()->hidePopup();
        details->ExpenseTypeCombo()->setEditText(QStringLiteral("Ferry"));
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProjectItem(&entry));
    EXPECT_EQ(u"Ferry", Reloaded(entry.get_ID()).get_Description2());
}

TEST_F(EntryEditorFixture, ExpenseTypesAreThe28PresetsInOrder) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Expense);
    DialogScript script({[&](QDialog& dialog) {
        QComboBox* types = PageOf<CDlgExpenseDetails>(dialog, 0)->ExpenseTypeCombo();
        EXPECT_EQ(28, types->count());
        EXPECT_EQ(QStringLiteral("Airfare"), types->itemText(0));
        EXPECT_EQ(QStringLiteral("Business Meals"), types->itemText(3));
        EXPECT_EQ(QStringLiteral("Train"), types->itemText(27));
        EXPECT_EQ(QStringLiteral("Taxi"), types->currentText());
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
        EXPECT_TRUE(PageOf<CDlgBillingDetails>(dialog, 1)->CalcButton()->isHidden());
        return PressSheetCancel(dialog);
    }});
    EditProjectItem(&entry);
}

TEST_F(EntryEditorFixture, TooLongDescriptionIsRefusedWithTheStandardMessage) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Time);
    MessageBoxScript messages;
    DialogScript script({[&](QDialog& dialog) {
        PageOf<CDlgTimeDetails>(dialog, 0)->DescriptionEdit()->setPlainText(QString(256, QLatin1Char('x')));
        EXPECT_FALSE(AsSheet(dialog).SetActivePage(1));
        EXPECT_TRUE(messages.ShownOnlyText(u"Please enter no more than 255 characters."));
        return PressSheetCancel(dialog);
    }});
    EXPECT_EQ(0, EditProjectItem(&entry));
}

TEST_F(EntryEditorFixture, MileageOdometerChecks) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Mileage);
    MessageBoxScript messages;
    DialogScript script({[&](QDialog& dialog) {
        auto* details = PageOf<CDlgMileageDetails>(dialog, 0);
        details->BeginEdit()->setText(QStringLiteral("300000"));
        EXPECT_FALSE(AsSheet(dialog).SetActivePage(1));
        EXPECT_TRUE(messages.ShownOnlyText(u"Please enter an integer between 0 and 250000."));
        messages.Clear();
        details->BeginEdit()->setText(QStringLiteral("500"));
        details->EndEdit()->setText(QStringLiteral("400"));
        EXPECT_FALSE(AsSheet(dialog).SetActivePage(1));
        EXPECT_TRUE(messages.ShownOnly(45));
        EXPECT_EQ(0, AsSheet(dialog).GetActiveIndex());
        details->EndEdit()->setText(QStringLiteral("500"));
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProjectItem(&entry));
    const CProjectItem stored = Reloaded(entry.get_ID());
    EXPECT_EQ(500, stored.get_OdometerStart());
    EXPECT_EQ(500, stored.get_OdometerEnd());
}

TEST_F(EntryEditorFixture, LeavingBeginSetsEndToBeginPlus100WhenEndIsZeroOrBelow) {
    CDlgMileageDetails page;
    CPropertySheetEx sheet(u"Sheet");
    sheet.AddPage(&page);
    page.m_strProjectRef = u"SAMP002";
    DialogScript script({[&](QDialog& dialog) {
        page.BeginEdit()->setText(QStringLiteral("500"));
        page.EndEdit()->setText(QStringLiteral("0"));
        page.OnKillFocusBegin();
        EXPECT_EQ(QStringLiteral("600"), page.EndEdit()->text());
        page.EndEdit()->setText(QStringLiteral("700"));
        page.OnKillFocusBegin();
        EXPECT_EQ(QStringLiteral("700"), page.EndEdit()->text());
        page.EndEdit()->setText(QStringLiteral("450"));
        page.OnKillFocusBegin();
        EXPECT_EQ(QStringLiteral("600"), page.EndEdit()->text());
        return PressSheetCancel(dialog);
    }});
    sheet.DoModal();
    EXPECT_EQ(600, CDlgMileageDetails::EndAfterBeginEntered(500, 0));
    EXPECT_EQ(0, CDlgMileageDetails::EndAfterBeginEntered(0, 0));
}

TEST_F(EntryEditorFixture, CalcForTimeUsesMinutesTimesTheCategoryRate) {
    const int category = AddCategory(u"Consulting", u"CONS", 80.0f);
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Time);
    entry.set_CategoryRef(RefIdOf(category, u"category"));
    entry.set_DurationInMinutes(90);
    DialogScript script({[&](QDialog& dialog) {
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
        auto* billing = PageOf<CDlgBillingDetails>(dialog, 1);
        EXPECT_FALSE(billing->CalcButton()->isHidden());
        billing->CalcButton()->click();
        EXPECT_EQ(QStringLiteral("120.00"), billing->AmountEdit()->text());
        // With no category selected the amount is 0.
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(0));
        PageOf<CDlgTimeDetails>(dialog, 0)->CategoryCombo()->setCurrentIndex(-1);
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
        billing->CalcButton()->click();
        EXPECT_EQ(QStringLiteral("0.00"), billing->AmountEdit()->text());
        return PressSheetCancel(dialog);
    }});
    EditProjectItem(&entry);
    EXPECT_FLOAT_EQ(120.0f, CDlgBillingDetails::TimeAmount(90, 80.0f));
    EXPECT_EQ(0.0f, CDlgBillingDetails::TimeAmount(0, 80.0f));
}

TEST_F(EntryEditorFixture, CalcForMileageUsesTheAcceptedOdometerAndTheRate) {
    const float savedRate = Host().m_settings.m_fMileageRate;
    Host().m_settings.m_fMileageRate = 0.365f;
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Mileage);
    DialogScript script({[&](QDialog& dialog) {
        auto* details = PageOf<CDlgMileageDetails>(dialog, 0);
        details->BeginEdit()->setText(QStringLiteral("12000"));
        details->EndEdit()->setText(QStringLiteral("12150"));
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(1));
        auto* billing = PageOf<CDlgBillingDetails>(dialog, 1);
        billing->CalcButton()->click();
        EXPECT_EQ(QStringLiteral("54.75"), billing->AmountEdit()->text());
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProjectItem(&entry));
    Host().m_settings.m_fMileageRate = savedRate;
    EXPECT_FLOAT_EQ(54.75f, Reloaded(entry.get_ID()).get_BillAmount());
}

TEST_F(EntryEditorFixture, OkOnTheNotesPageAfterValidDetailsSaves) {
    CProjectItem entry;
    entry.set_ProjectRef(u"SAMP002");
    DialogScript script({[&](QDialog& dialog) {
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(3));
        PageOf<CDlgNotes>(dialog, 3)->NotesEdit()->setPlainText(QStringLiteral("called the client"));
        return PressSheetOk(dialog);
    }});
    EXPECT_EQ(1, EditProjectItem(&entry));
    const CProjectItem stored = Reloaded(entry.get_ID());
    EXPECT_EQ(u"called the client", stored.get_Notes());
    // A new entry without a category takes the top entry of the list.
    EXPECT_EQ(u"SAMP003", stored.get_CategoryRef());
}

TEST_F(EntryEditorFixture, DurationReachesTheEntryAtOnceButIsSavedOnlyWithOk) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Time);
    const std::string before = DataFileContents();
    DialogScript script({
        [&](QDialog& dialog) {
            auto* details = PageOf<CDlgTimeDetails>(dialog, 0);
            details->DurationButton()->click();
            EXPECT_EQ(Text(CDateTimeFormatter::FormatDuration(75)), details->DurationText()->text());
            return PressSheetCancel(dialog);
        },
        [&](QDialog& dialog) {
            auto& duration = dynamic_cast<CDlgEditDuration&>(dialog);
            if (duration.ExactTimesCheck()->isChecked())
                duration.ExactTimesCheck()->click();
            duration.HoursEdit()->setText(QStringLiteral("1"));
            duration.MinutesEdit()->setText(QStringLiteral("15"));
            duration.OnOK();
            return duration.result();
        },
    });
    EXPECT_EQ(0, EditProjectItem(&entry));
    EXPECT_EQ(75, entry.get_DurationInMinutes());
    EXPECT_EQ(0.0, entry.get_StartTime().m_dt);
    EXPECT_EQ(before, DataFileContents());
}

TEST_F(EntryEditorFixture, CategoryButtonRefillsTheListWithThePickedCategory) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Time);
    const int travel = AddCategory(u"Travel", u"TRAV", 40.0f);
    DialogScript script({
        [&](QDialog& dialog) {
            auto* details = PageOf<CDlgTimeDetails>(dialog, 0);
            EXPECT_EQ(kSampleCategoryId, details->GetSelectedCategoryID());
            details->CategoryButton()->click();
            EXPECT_EQ(travel, details->GetSelectedCategoryID());
            return PressSheetOk(dialog);
        },
        [&](QDialog& dialog) {
            auto& categories = dynamic_cast<CDlgCategories&>(dialog);
            EXPECT_EQ(kSampleCategoryId, categories.SelectedID());
            categories.List()->setCurrentRow(categories.List()->row(
                categories.List()->findItems(QStringLiteral("Travel"), Qt::MatchExactly).value(0)));
            categories.OnOK();
            return categories.result();
        },
    });
    EXPECT_EQ(1, EditProjectItem(&entry));
    EXPECT_EQ(RefIdOf(travel, u"category"), Reloaded(entry.get_ID()).get_CategoryRef());
}

TEST_F(EntryEditorFixture, BeginLosingTheFocusAppliesTheEndRule) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Mileage);
    DialogScript script({[&](QDialog& dialog) {
        dialog.show();
        auto* details = PageOf<CDlgMileageDetails>(dialog, 0);
        details->BeginEdit()->setText(QStringLiteral("500"));
        details->EndEdit()->setText(QStringLiteral("0"));
        details->BeginEdit()->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        details->DescriptionEdit()->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_EQ(QStringLiteral("600"), details->EndEdit()->text());
        return PressSheetCancel(dialog);
    }});
    EditProjectItem(&entry);
}

TEST_F(EntryEditorFixture, TabbingIntoNotesLeavesTheTextUnselected) {
    CProjectItem entry = SavedEntry(CProjectItem::ItemType_Time);
    DialogScript script({[&](QDialog& dialog) {
        dialog.show();
        EXPECT_TRUE(AsSheet(dialog).SetActivePage(3));
        QPlainTextEdit* notes = PageOf<CDlgNotes>(dialog, 3)->NotesEdit();
        notes->selectAll();
        EXPECT_TRUE(notes->textCursor().hasSelection());
        notes->clearFocus();
        notes->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_FALSE(notes->textCursor().hasSelection());
        EXPECT_EQ(QStringLiteral("Some notes"), notes->toPlainText());
        return PressSheetCancel(dialog);
    }});
    EditProjectItem(&entry);
}

TEST(EntryEditorTexts, MessagesComeFromTheResourceLibrary) {
    for (unsigned id : {2u, 26u, 27u, 28u, 29u, 37u, 38u, 45u, 61u, 109u})
        EXPECT_FALSE(GetResString(id, 1).IsEmpty()) << id;
}
