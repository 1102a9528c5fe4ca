#pragma once
// The Select Date Range dialog.
class COleDateTime;

// Both dates are in-out. On OK they become the chosen dates without their time of day and
// the result is 1; on Cancel they are untouched and the result is 0.
int SelectDateRange(COleDateTime& start, COleDateTime& end);
