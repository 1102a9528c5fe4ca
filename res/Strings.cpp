#include "res/QuillmarRes.h"

#include <algorithm>
#include <iterator>

namespace {

struct StringEntry {
    unsigned id;
    const char* text;
};

// Sorted by number (checked below). Texts are UTF-8 and stay under the 259 characters a
// caller reads. Several numbers double as registry value names and XML element names of the
// export, so those words carry no punctuation.
// One entry a line, with its use beside it; the formatter would fold them.
// clang-format off
constexpr StringEntry kStrings[] = {
    {2, "You cannot delete the last billing category. At least one category must remain."},  // Categories dialog: Delete on the only category
    {3, "(No Client)"},                   // side bar tree: node holding projects without a client
    {4, "Sample Client"},                 // sample client of a new data file
    {5, "Sample Project"},                // sample project of a new data file
    {6, "General Work"},                  // sample category name of a new data file
    {7, "GEN"},                           // sample category code of a new data file
    {8, "h"},                             // duration text: hours suffix ("1h 30m")
    {9, "m"},                             // duration text: minutes suffix
    {10, "Client"},                       // client editor caption; device Client Details title
    {11, "Project"},                      // project editor caption; device Project Details title
    {18, "(None)"},                       // leading entry of client/project/category lists (no client, any)
    {19, "This client will be deleted, and you will be asked about each of its projects in turn.\n\nClick OK to delete the client or Cancel to keep it."},  // client Delete (OK/Cancel)
    {20, "Do you want to delete this project and all of its time, expense and mileage entries?"},  // project Delete (Yes/No)
    {21, "Do you want to delete this entry?"},  // entry Delete (Yes/No)
    {22, "New Time Entry"},               // command text and tooltip: new time entry
    {23, "New Expense Entry"},            // command text and tooltip: new expense entry
    {24, "New Mileage Entry"},            // command text and tooltip: new mileage entry
    {25, "Do you want to delete this billing category? Entries that use it keep their category."},  // category Delete (Yes/No)
    {26, "The selected project could not be opened. Please choose another project."},  // Manage Clients and Projects, select mode OK
    {27, "Please choose a project for this entry."},  // entry editor: Details page left without a project
    {28, "Entry"},                        // entry editor sheet caption (all three types)
    {29, "Please select a billing category."},  // Categories dialog, select mode OK with nothing selected
    {30, "Time Entry"},                   // entry type text (export); device time Details title
    {31, "Billing"},                      // device Billing page title
    {32, "Custom Fields"},                // device Custom page title
    {33, "Day"},                          // entries list: first column header in the Week period
    {34, "Project"},                      // entries list header; export field name and XML element
    {35, "Category"},                     // entries list header; export field; device Edit Category title
    {36, "Duration"},                     // entries list header: formatted duration of time entries
    {37, "The duration is zero. Do you want to keep it?"},  // Edit Duration OK with 0 minutes or less (Yes/No)
    {38, "The hours and minutes do not match the start and end times. Please correct the duration or the times."},  // Edit Duration OK
    {39, "New Client"},                   // command text: new client
    {40, "New Project"},                  // command text: new project
    {41, "Clients and Projects"},         // command text: show or hide the Clients and Projects bar
    {42, "Amount"},                       // entries list header; export field name and XML element
    {43, "Description"},                  // entries list header; export field name and XML element
    {45, "The ending odometer reading cannot be lower than the beginning reading."},  // mileage Details page
    {46, "Sync with Mobile Device"},      // command text: synchronise
    {47, "Options"},                      // Options sheet caption; command text
    {49, "Refresh"},                      // command text: refresh
    {50, "Cannot connect to the mobile device. Make sure it is connected and Quillmar is installed on it, then try again."},  // sync engine start failed
    {51, "Synchronization has finished."},  // after a synchronisation flow
    {52, "Expense Entry"},                // entry type text (export); device expense Details title
    {53, "Mileage Entry"},                // entry type text (export); device mileage Details title
    {55, "Delete"},                       // command text: delete the selected item
    {57, "Day"},                          // command text and summary title: Day period
    {58, "Week"},                         // command text and summary title: Week period
    {59, "Month"},                        // command text and summary title: Month period
    {60, "Custom Dates"},                 // command text and summary title: Custom period
    {61, "The end date cannot be earlier than the start date."},  // Select Date Range OK
    {62, "Quick Summary"},                // command text, device tooltip and dialog title
    {63, "View"},                         // summary row 0 label (the period's title)
    {64, "Period"},                       // summary row 1 label (start - end)
    {65, "Entries"},                      // summary heading: counts (fits the 90-pixel label column)
    {66, "Time"},                         // summary label: time entries
    {67, "Expenses"},                     // summary label: expense entries
    {68, "Mileage"},                      // summary label: mileage entries
    {69, "Billable"},                     // summary heading: billable totals
    {70, "Time"},                         // summary block 63-77: spare time label, rows reuse 66
    {71, "Expenses"},                     // summary block 63-77: spare expense label, rows reuse 67
    {72, "Mileage"},                      // summary block 63-77: spare mileage label, rows reuse 68
    {73, "Non-Billable"},                 // summary heading: non-billable totals
    {74, "Payments"},                     // summary heading: payment totals
    {75, "Paid"},                         // summary label: paid amount
    {76, "Unpaid"},                       // summary label: billable amount not yet paid
    {77, "Total"},                        // summary label: billable total, under "Payments"
    {78, "Date"},                         // entries list header; export field name and XML element
    {83, "Date Range"},                   // device Select Date Range title
    {84, "Custom 1"},                     // default label of custom field 1; export value/element name
    {85, "Custom 2"},                     // default label of custom field 2; export value/element name
    {86, "Custom 3"},                     // default label of custom field 3; export value/element name
    {87, "Filter Data"},                  // Filter Data sheet caption; command text
    {88, "Filtered"},                     // status bar pane while a filter is active
    {89, "The filter has been removed. All entries of the period are shown again."},  // filter switched off
    {90, "Today"},                        // command text: go to today
    {91, "Client"},                       // export field name and XML element
    {92, "Start Time"},                   // export field name (XML element without spaces)
    {93, "End Time"},                     // export field name (XML element without spaces)
    {94, "Entry Type"},                   // export field name (XML element without spaces)
    {95, "Billable"},                     // export field name (XML element without spaces)
    {96, "Billing Status"},               // export field name (XML element without spaces)
    {97, "Odometer Start"},               // export field name (XML element without spaces)
    {98, "Odometer End"},                 // export field name (XML element without spaces)
    {99, "No"},                           // export value: not billable
    {100, "Yes"},                         // export value: billable
    {101, "Not Billed"},                  // export value: billing status 0
    {102, "Billed"},                      // export value: billing status 1
    {103, "Paid"},                        // export value: billing status 2
    {104, "XML Files (*.xml)|*.xml|All Files (*.*)|*.*||"},  // XML export save dialog filter
    {105, "Your data could not be exported.\n\n%s"},  // export failure; %s is the reason
    {106, "Hours"},                       // export field name and XML element: duration in hours
    {107, "Total"},                       // spreadsheet export: label of the totals row
    {108, "Week of "},                    // device period header, followed by the week's first day
    {109, "Please choose or type an expense type."},  // expense Details page left without a type
    {110, "Notes"},                       // export field name and XML element
    {300, "Minutes"},                     // CSV export field: duration in minutes (beside 106)
    {301, "Please enter an invoice number."},  // invoice issued without a number
    {302, "Invoice number %s has already been used. Please choose another number."},  // %s: the number
    {303, "There is no entry on this invoice. Please include at least one entry."},  // invoice without entries
    {304, "Some entries of this invoice have been changed, billed or deleted since it was prepared. Please prepare the invoice again."},  // issue refused
    {305, "The data file could not be written. No entry has been marked billed and the invoice has not been issued."},  // issue failed and undone
    {306, "The data file could not be written. The invoice has not been voided."},  // void failed and undone
    {307, "Invoice %s could not be found."},  // %s: the number
    {308, "The tax rate must be between 0 and 100 percent."},  // invoice tax rate out of range
    {309, "Invoice %s has already been voided."},  // %s: the number
    {310, "The client of this invoice could not be found."},  // invoice for a client that is gone
    {400, "A synchronization is writing the data file. Your change will be saved as soon as it has finished."},  // a save waits for another process
};
// clang-format on

constexpr bool IsStrictlyAscending() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id)
            return false;
    }
    return true;
}
static_assert(IsStrictlyAscending(), "string numbers must ascend without repeats");

}   // namespace

extern "C" const char* QuillmarRes_String(unsigned id) {
    const StringEntry* found =
        std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                         [](const StringEntry& entry, unsigned wanted) { return entry.id < wanted; });
    return (found != std::end(kStrings) && found->id == id) ? found->text : nullptr;
}
