#pragma once
// The Quick Summary dialog: the totals of what the entries view shows, titled by its period.
class CViewByDate;

// Titles the view's summary by the period (resource strings 57 to 60), copies the period's
// dates into it and shows it. The dialog only displays; it changes nothing.
void RunQuickSummary(CViewByDate& view);
