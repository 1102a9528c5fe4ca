#pragma once
// Numbers of the desktop program's commands, resources and texts. Commands keep the numbers
// they were designed with, so the string table's prompts and the registry stay in step.
#include "ui/shared/ResStrings.h"

namespace cmd {
constexpr unsigned AppAbout = 57664;
constexpr unsigned AppExit = 57665;
constexpr unsigned FilePrint = 57607;
constexpr unsigned NewClient = 155;
constexpr unsigned NewProject = 156;
constexpr unsigned NewMileageEntry = 161;
constexpr unsigned NewTimeEntry = 159;
constexpr unsigned NewExpenseEntry = 160;
constexpr unsigned SyncDevice = 169;
constexpr unsigned SyncTroubleshooting = 174;
constexpr unsigned ExportData = 195;
constexpr unsigned EditProperties = 157;
constexpr unsigned MarkAsPaid = 193;
constexpr unsigned EditDelete = 158;
constexpr unsigned ViewStandardToolbar = 59392;
constexpr unsigned ViewCustomViewsToolbar = 162;
constexpr unsigned ViewMenuBar = 153;
constexpr unsigned ViewClientsProjects = 167;
constexpr unsigned ViewQuickSummary = 185;
constexpr unsigned PeriodDay = 178;
constexpr unsigned PeriodWeek = 179;
constexpr unsigned PeriodMonth = 180;
constexpr unsigned PeriodCustom = 181;
constexpr unsigned FilterData = 190;
constexpr unsigned ViewRefresh = 172;
constexpr unsigned ResetLayout = 186;
constexpr unsigned ManageCategories = 188;
constexpr unsigned ToolsOptions = 154;
constexpr unsigned PairDevice = 175;
constexpr unsigned DatePicker = 163;
constexpr unsigned Today = 166;
constexpr unsigned PreviousPeriod = 164;
constexpr unsigned NextPeriod = 165;
constexpr unsigned ViewReports = 260;
constexpr unsigned HelpWeb = 250;
constexpr unsigned HelpUpgrade = 252;
constexpr unsigned HelpSupport = 254;
constexpr unsigned HelpFaq = 251;
constexpr unsigned HelpForum = 253;
constexpr unsigned CreateInvoice = 270;
constexpr unsigned Invoices = 271;
constexpr unsigned MarkAsBilled = 280;
constexpr unsigned Find = 281;
}   // namespace cmd

namespace ids {
constexpr unsigned DocTemplate = 105;   // document template string, menu, icon
constexpr unsigned ResetLayoutAsk = 229;
constexpr unsigned RestartNeeded = 230;
constexpr unsigned AppTitle = 57344;
constexpr unsigned PrintAsk = 57608;
constexpr unsigned FmtCurrency = 57609;
constexpr unsigned FmtDate = 57610;
constexpr unsigned FmtTime = 57611;
constexpr unsigned FmtNumber = 57612;
constexpr unsigned FmtDuration = 57613;
constexpr unsigned IdleMessage = 57345;    // status text shown when no prompt applies
constexpr unsigned SyncIncomplete = 231;   // a synchronisation step failed
}   // namespace ids

// Resource library string numbers the desktop uses besides the shared ones.
namespace res {
constexpr unsigned ColDay = 33;
constexpr unsigned ColProject = 34;
constexpr unsigned ColCategory = 35;
constexpr unsigned ColDuration = 36;
constexpr unsigned ColAmount = 42;
constexpr unsigned ColDescription = 43;
constexpr unsigned SyncInitFailed = 50;
constexpr unsigned SyncDone = 51;
constexpr unsigned TitleDay = 57;
constexpr unsigned TitleWeek = 58;
constexpr unsigned TitleMonth = 59;
constexpr unsigned TitleCustom = 60;
constexpr unsigned ColDate = 78;
constexpr unsigned FilterOn = 88;
constexpr unsigned FilterOff = 89;
}   // namespace res
