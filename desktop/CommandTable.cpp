#include "desktop/CommandTable.h"

#include "desktop/CommandIds.h"

const std::vector<CommandInfo>& CommandTable() {
    static const std::vector<CommandInfo> table = {
        {cmd::NewClient, "&Client\tCtrl+N", "Ctrl+N", 39, 54, true, false},
        {cmd::NewProject, "&Project", "", 40, 13, true, false},
        {cmd::NewMileageEntry, "&Mileage Entry", "", 24, 16, true, false},
        {cmd::NewTimeEntry, "&Time Entry", "Ctrl+T", 22, 15, true, false},
        {cmd::NewExpenseEntry, "&Expense Entry", "", 23, 14, true, false},
        {cmd::SyncDevice, "&Sync with Mobile Device", "", 46, 168, false, false},
        {cmd::SyncTroubleshooting, "Sync &Troubleshooting...", "", 0, 0, false, false},
        {cmd::ExportData, "&Export Data", "", 0, 204, false, false},
        {cmd::FilePrint, "&Print...", "", 0, 0, false, false},
        {cmd::AppExit, "E&xit", "", 0, 0, false, false},
        {cmd::EditProperties, "&Properties", "Alt+Return", 0, 207, false, false},
        {cmd::MarkAsPaid, "&Mark as Paid", "Ctrl+P", 0, 208, false, false},
        {cmd::MarkAsBilled, "Mark as &Billed", "Ctrl+B", 0, 0, false, false},
        {cmd::Find, "&Find", "Ctrl+F", 0, 0, false, false},
        {cmd::EditDelete, "&Delete\tDel", "Del", 55, 183, false, false},
        {cmd::ViewStandardToolbar, "&Standard", "", 0, 0, false, true},
        {cmd::ViewCustomViewsToolbar, "Custom &Views", "", 0, 0, false, true},
        {cmd::ViewMenuBar, "&Menu Bar", "Ctrl+M", 0, 0, false, true},
        {cmd::ViewClientsProjects, "&Clients and Projects", "", 41, 17, true, true},
        {cmd::ViewQuickSummary, "&Quick Summary", "", 62, 49, true, true},
        {cmd::ViewReports, "R&eports...", "", 0, 0, false, false},
        {cmd::PeriodDay, "&Day", "", 57, 199, false, true},
        {cmd::PeriodWeek, "&Week", "", 58, 194, false, true},
        {cmd::PeriodMonth, "M&onth", "", 59, 200, false, true},
        {cmd::PeriodCustom, "C&ustom Dates...", "", 60, 197, false, true},
        {cmd::FilterData, "&Filter Data...", "", 87, 193, false, true},
        {cmd::ViewRefresh, "&Refresh\tF5", "F5", 49, 170, false, false},
        {cmd::ResetLayout, "Reset &Layout", "", 0, 0, false, false},
        {cmd::ManageCategories, "Manage &Categories", "", 0, 0, false, false},
        {cmd::ToolsOptions, "&Options", "", 47, 115, false, false},
        {cmd::PairDevice, "&Pair with Device...", "", 0, 0, false, false},
        {cmd::CreateInvoice, "Create &Invoice...", "", 0, 0, false, false},
        {cmd::Invoices, "In&voices...", "", 0, 0, false, false},
        {cmd::Today, "Today", "", 90, 48, true, false},
        {cmd::PreviousPeriod, "Previous", "", 0, 47, true, false},
        {cmd::NextPeriod, "Next", "", 0, 46, true, false},
        {cmd::HelpWeb, "Quillmar on the &Web", "", 0, 0, false, false},
        {cmd::HelpUpgrade, "Check for &Upgrade...", "", 0, 0, false, false},
        {cmd::HelpSupport, "&Technical Support", "", 0, 0, false, false},
        {cmd::HelpFaq, "&Frequently Asked Questions", "", 0, 0, false, false},
        {cmd::HelpForum, "Online &Discussion Forum", "", 0, 0, false, false},
        {cmd::AppAbout, "&About Quillmar...", "", 0, 118, false, false},
    };
    return table;
}

const CommandInfo* FindCommand(unsigned id) {
    for (const CommandInfo& info : CommandTable()) {
        if (info.id == id)
            return &info;
    }
    return nullptr;
}
