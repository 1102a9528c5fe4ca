#pragma once
// A small fixed data set for the report, CSV and invoice tests, saved through the records' own
// Save into the test's data store. Dates lie in March 2004 (1 March is a Monday) apart from two
// entries just outside it.
#include "biz/ProjectItem.h"
#include "platform/CString.h"

struct ReportTestData {
    CString acme;      // client "Acme", address on two lines
    CString bolt;      // client "Bolt"
    CString website;   // project "Website" of Acme
    CString audit;     // project "Audit" of Acme
    CString repair;    // project "Repair" of Bolt
    CString loose;     // project "Loose" without a client
    CString design;    // category "Design", code "DES"
    CString support;   // category "Support", code "SUP"

    // The entries, in the order saved:
    //  1 time     Acme/Website Design   1 Mar  90 min   75.00 billable  not billed
    //  2 time     Acme/Website Support  2 Mar  30 min   49.99 billable  paid
    //  3 time     Acme/Audit   Design   8 Mar  45 min   37.50 non-bill. not billed
    //  4 expense  Acme/Audit            9 Mar          120.10 billable  billed
    //  5 mileage  Bolt/Repair          15 Mar  1000-1042 14.70 billable not billed
    //  6 expense  Bolt/Repair          31 Mar           -5.00 billable  not billed
    //  7 time     Loose                 1 Apr  60 min   10.00 billable  not billed
    //  8 time     Bolt/Repair  Support 29 Feb  15 min    5.00 billable  not billed
    CString entry[9];   // RefIDs, 1-based

    static ReportTestData Create();
};

// A time entry saved with these values; returns its RefID.
CString SaveTimeEntry(const CString& projectRef, const CString& categoryRef, const COleDateTime& date, int minutes,
                      float amount, int billable = 1,
                      CProjectItem::PymtStatus status = CProjectItem::PymtStatus_NotBilled);
// An expense or mileage entry; the odometer only for mileage.
CString SaveOtherEntry(CProjectItem::ItemType type, const CString& projectRef, const COleDateTime& date, float amount,
                       int billable = 1, CProjectItem::PymtStatus status = CProjectItem::PymtStatus_NotBilled,
                       int odometerStart = 0, int odometerEnd = 0);
// Loads the entry with that RefID from the store; a default entry when it is not there.
CProjectItem LoadEntry(const CString& refId);
// March 2004, whole days.
COleDateTime March(int day);
