#pragma once
// Resource library string numbers the shared lists and dialogs use by name.
namespace res {
constexpr unsigned NoClientNode = 3;    // side bar node of the projects without a client
constexpr unsigned CustomLabel1 = 84;   // default custom field labels
constexpr unsigned CustomLabel2 = 85;
constexpr unsigned CustomLabel3 = 86;
// Titles the device draws on the shared pages and dialogs.
constexpr unsigned ClientTitle = 10;
constexpr unsigned ProjectTitle = 11;
constexpr unsigned TimeTitle = 30;
constexpr unsigned BillingTitle = 31;
constexpr unsigned CustomTitle = 32;
constexpr unsigned CategoryTitle = 35;
constexpr unsigned ExpenseTitle = 52;
constexpr unsigned MileageTitle = 53;
constexpr unsigned DateRangeTitle = 83;
// A save waits while another process (a synchronisation) writes the data file.
constexpr unsigned WaitingForDataFile = 400;
}   // namespace res
