#include "desktop/ProgramStrings.h"

#include <map>

#include "desktop/CommandIds.h"
#include "platform/StringTable.h"

void RegisterProgramStrings() {
    std::map<unsigned, CString> table = {
        {ids::DocTemplate,
         u"Kestovar Quillmar\n\nQuillm\nQuillmar Files (*.qmx)\n.qmx\nQuillmar.Document\nQuillmar Document"},
        {ids::ResetLayoutAsk,
         u"This will reset the Quillmar user-interface to the default settings. You might want to do this if some of "
         u"the docking windows and toolbars were accidently moved, hidden or closed."},
        {ids::RestartNeeded, u"Quillmar needs to be restarted now to use the new settings."},
        {ids::AppTitle, u"Quillmar"},
        {ids::SyncIncomplete, u"Synchronization did not finish. Synchronize again to complete it."},
        {ids::IdleMessage, u"Ready"},
        {ids::PrintAsk,
         u"In this version of Quillmar, printing is done through Microsoft Excel. Your data can easily be exported to "
         u"Excel, formatted, and then printed. Would you like to export your data now?"},
        {ids::FmtCurrency, u"$#,##0.00"},
        {ids::FmtDate, u"[$-409]d-mmm-yy;@"},
        {ids::FmtTime, u"[$-409]h:mm AM/PM;@"},
        {ids::FmtNumber, u"#,##0"},
        {ids::FmtDuration, u"0.00"},
        {cmd::NewClient, u"Create a new Client"},
        {cmd::NewProject, u"Create a new Project"},
        {cmd::NewMileageEntry, u"Create a new Mileage entry"},
        {cmd::NewTimeEntry, u"Create a new Time entry"},
        {cmd::NewExpenseEntry, u"Create a new Expense entry"},
        {cmd::SyncDevice, u"Synchronize your data with Quillmar on your Pocket PC device"},
        {cmd::SyncTroubleshooting, u"Setup or troubleshoot synchronization with Quillmar on your Pocket PC"},
        {cmd::ExportData, u"Export your data to a variety of formats for use in external applications\nExport Data"},
        {cmd::FilePrint, u"Print the currently displayed data"},
        {cmd::EditProperties, u"Edit the selected item"},
        {cmd::MarkAsPaid, u"Mark the selected project item as Paid"},
        {cmd::MarkAsBilled, u"Mark the selected entries as billed\nMark as Billed"},
        {cmd::Find, u"Search the entries for words in their texts, projects, clients and categories\nFind"},
        {cmd::EditDelete, u"Delete the selected item"},
        {cmd::ViewClientsProjects, u"Show or hide the Clients/Projects window"},
        {cmd::ViewQuickSummary,
         u"Show or hide a quick report window summarizing the entries that are currently displayed"},
        {cmd::ViewReports,
         u"Open a report of a period: totals by client, project, category or date, with charts\nReports"},
        {cmd::PeriodDay, u"Switch to the Day view"},
        {cmd::PeriodWeek, u"Switch to the Week view"},
        {cmd::PeriodMonth, u"Switch to the Month view"},
        {cmd::PeriodCustom, u"Display entries falling within a custom date range"},
        {cmd::FilterData, u"Display entries that meet a variety of criteria"},
        {cmd::ViewRefresh, u"Refresh the data that is currently displayed in the various windows"},
        {cmd::ResetLayout, u"Reset the Quillmar user-interface to default settings"},
        {cmd::ManageCategories, u"Add, remove or edit billing categories"},
        {cmd::ToolsOptions, u"Change program settings and your personal preferences"},
        {cmd::PairDevice, u"Connect this computer to Quillmar on your device"},
        {cmd::CreateInvoice, u"Invoice a client for unbilled work and mark it billed"},
        {cmd::Invoices, u"List the invoices issued, open one again as PDF or void it"},
    };
    StringTable::Register(std::move(table));
}
