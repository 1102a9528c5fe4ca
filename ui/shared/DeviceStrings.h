#pragma once
// Numbers of the device program's own strings that the shared dialogs' device looks name: the
// shorter captions of the handheld's dialog templates. The device program's string table holds
// their texts (device/ProgramStrings.cpp); the desktop never shows them.
namespace devstr {
constexpr unsigned Date = 2001;              // "Date:"
constexpr unsigned Project = 2002;           // "Project:"
constexpr unsigned Duration = 2003;          // "Duration:"
constexpr unsigned Category = 2004;          // "Category:"
constexpr unsigned TimeDescription = 2005;   // time entry's description, with an example
constexpr unsigned ExpenseType = 2006;       // "Type:"
constexpr unsigned ExpenseMemo = 2007;       // expense entry's description, with an example
constexpr unsigned TripDescription = 2008;   // mileage entry's description, with an example
constexpr unsigned Begin = 2009;             // odometer at the start of the trip
constexpr unsigned End = 2010;               // odometer at its end; end time of a duration
constexpr unsigned Billable = 2011;          // the billable check box
constexpr unsigned BillableAmount = 2012;
constexpr unsigned Calc = 2013;   // computes the amount
constexpr unsigned NotBilled = 2014;
constexpr unsigned Billed = 2015;
constexpr unsigned Paid = 2016;
constexpr unsigned Name = 2017;   // client's and project's name
constexpr unsigned Address = 2018;
constexpr unsigned AccountNumber = 2019;
constexpr unsigned Contact = 2020;
constexpr unsigned Client = 2021;
constexpr unsigned New = 2022;   // Categories buttons
constexpr unsigned Edit = 2023;
constexpr unsigned Delete = 2024;
constexpr unsigned CategoryCaption = 2025;   // Edit Category's window caption
constexpr unsigned CategoryName = 2026;
constexpr unsigned CategoryCode = 2027;
constexpr unsigned CategoryRate = 2028;
constexpr unsigned ExactTimes = 2029;   // Edit Duration's check box
constexpr unsigned Start = 2030;        // start time of a duration
constexpr unsigned Hours = 2031;
constexpr unsigned Minutes = 2032;
constexpr unsigned Presets = 2033;   // Select Date Range
constexpr unsigned StartDate = 2034;
constexpr unsigned EndDate = 2035;
constexpr unsigned HideClients = 2036;   // Options, Preferences
constexpr unsigned ShadeAltRows = 2037;
constexpr unsigned Gridlines = 2038;
constexpr unsigned StrikeOut = 2039;
constexpr unsigned Field1 = 2040;   // Options, Custom Field Labels
constexpr unsigned Field2 = 2041;
constexpr unsigned Field3 = 2042;
constexpr unsigned BillingStatus = 2043;   // Filter Data, General
}   // namespace devstr
