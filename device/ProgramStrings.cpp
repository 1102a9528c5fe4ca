#include "device/ProgramStrings.h"

#include <map>

#include "platform/StringTable.h"
#include "ui/shared/DeviceStrings.h"

void RegisterDeviceProgramStrings() {
    std::map<unsigned, CString> table = {
        {devstr::Date, u"Date:"},
        {devstr::Project, u"Project:"},
        {devstr::Duration, u"Duration:"},
        {devstr::Category, u"Category:"},
        {devstr::TimeDescription, u"Description (e.g: meeting with client):"},
        {devstr::ExpenseType, u"Type:"},
        {devstr::ExpenseMemo, u"Memo (e.g: Flight to Los Angeles):"},
        {devstr::TripDescription, u"Trip description (e.g: visit to client site):"},
        {devstr::Begin, u"Begin:"},
        {devstr::End, u"End:"},
        {devstr::Billable, u"This item is billable"},
        {devstr::BillableAmount, u"Billable Amt.:"},
        {devstr::Calc, u"Calc."},
        {devstr::NotBilled, u"Not Billed"},
        {devstr::Billed, u"Billed"},
        {devstr::Paid, u"Paid"},
        {devstr::Name, u"Name:"},
        {devstr::Address, u"Address:"},
        {devstr::AccountNumber, u"Acct. Num:"},
        {devstr::Contact, u"Contact:"},
        {devstr::Client, u"Client:"},
        {devstr::New, u"New"},
        {devstr::Edit, u"Edit"},
        {devstr::Delete, u"Delete"},
        {devstr::CategoryCaption, u"Category"},
        {devstr::CategoryName, u"Name (e.g: Travel Time):"},
        {devstr::CategoryCode, u"Code (e.g: TRAV):"},
        {devstr::CategoryRate, u"Rate per hour:"},
        {devstr::ExactTimes, u"Enter the exact start and end times"},
        {devstr::Start, u"Start:"},
        {devstr::Hours, u"Hours:"},
        {devstr::Minutes, u"Minutes:"},
        {devstr::Presets, u"Presets:"},
        {devstr::StartDate, u"Start Date:"},
        {devstr::EndDate, u"End Date:"},
        {devstr::HideClients, u"Hide clients that do not have projects"},
        // A check box's "&&" shows one ampersand.
        {devstr::ShadeAltRows, u"Shade alternate rows (green && white)"},
        {devstr::Gridlines, u"Show gridlines"},
        {devstr::StrikeOut, u"&Strike-out paid items"},
        {devstr::Field1, u"Field 1:"},
        {devstr::Field2, u"Field 2:"},
        {devstr::Field3, u"Field 3:"},
        {devstr::BillingStatus, u"Bill Status:"},
    };
    StringTable::Register(std::move(table));
}
