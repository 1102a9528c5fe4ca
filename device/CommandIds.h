#pragma once
// Numbers of the device program's commands and of the resource-library texts and icons it
// uses. Commands keep the numbers they were designed with.

namespace devcmd {
constexpr unsigned NewClient = 32782;
constexpr unsigned NewProject = 32783;
constexpr unsigned NewTimeEntry = 32785;
constexpr unsigned NewExpenseEntry = 32786;
constexpr unsigned NewMileageEntry = 32787;
constexpr unsigned PeriodDay = 32813;
constexpr unsigned PeriodWeek = 32814;
constexpr unsigned PeriodMonth = 32815;
constexpr unsigned PeriodCustom = 32816;
constexpr unsigned QuickSummary = 32817;
constexpr unsigned ManageCategories = 32821;
constexpr unsigned ManageClientsProjects = 32822;
constexpr unsigned FilterData = 32823;
constexpr unsigned Options = 32784;
constexpr unsigned PairDesktop = 32830;
constexpr unsigned Exit = 57665;
constexpr unsigned Edit = 32795;
constexpr unsigned Delete = 32796;
constexpr unsigned MarkAsPaid = 1100;
constexpr unsigned MarkAsBilled = 280;
constexpr unsigned Find = 281;
}   // namespace devcmd

// The window message the sync library posts after committing the desktop's changes.
constexpr unsigned kSyncDoneMessage = 0x0400 + 100;   // WM_USER + 100

// Resource library strings.
namespace devres {
constexpr unsigned TipNewTime = 22;
constexpr unsigned TipNewExpense = 23;
constexpr unsigned TipNewMileage = 24;
constexpr unsigned ColDay = 33;
constexpr unsigned ColProject = 34;
constexpr unsigned ColCategory = 35;
constexpr unsigned ColDuration = 36;
constexpr unsigned ColAmount = 42;
constexpr unsigned SummaryDay = 57;
constexpr unsigned SummaryWeek = 58;
constexpr unsigned SummaryMonth = 59;
constexpr unsigned SummaryCustom = 60;
constexpr unsigned QuickSummary = 62;
constexpr unsigned ColDate = 78;
constexpr unsigned FilterOff = 89;
constexpr unsigned WeekOf = 108;
}   // namespace devres

// Resource library icons.
namespace devicon {
constexpr unsigned ExpenseEntry = 14;
constexpr unsigned TimeEntry = 15;
constexpr unsigned MileageEntry = 16;
constexpr unsigned NextPeriod = 46;
constexpr unsigned PreviousPeriod = 47;
constexpr unsigned Today = 48;
constexpr unsigned QuickSummary = 49;
}   // namespace devicon
