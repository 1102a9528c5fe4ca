#pragma once
#include "biz/BizExport.h"
// The values of stored entry and category fields that the programs can show, edit and total.
// A file may hold anything (a hand edit, a damaged copy, another program's output); what lies
// outside these limits is loaded as the nearest usable value, so no list, total or editor ever
// meets NaN, infinity, a negative duration or a kind of entry it does not know.
class QUILLMAR_BIZ_EXPORT CFieldLimits {
public:
    // Amounts and rates beyond this (or not finite) are taken as 0: a cut-off value would pass
    // for real money.
    static constexpr float kMaxAmount = 1.0e9f;
    static constexpr int kMaxDurationMinutes = 366 * 24 * 60;
    static constexpr int kMaxOdometer = 99999999;

    // 1 time, 2 mileage, 3 expense; anything else a time entry (what a new entry is).
    static int ItemType(int value);
    // 0 not billed, 1 billed, 2 paid; anything else not billed.
    static int PymtStatus(int value);
    // 0 stays not billable; anything else billable (absence means billable too).
    static int Billable(int value);
    // Finite and within kMaxAmount either way (negative amounts are allowed); otherwise 0.
    static float Amount(float value);
    // Finite, 0 to kMaxAmount; otherwise 0 (no rate).
    static float Rate(float value);
    // 0 to kMaxDurationMinutes; beyond it the nearest end.
    static int DurationMinutes(int value);
    // 0 to kMaxOdometer; beyond it the nearest end.
    static int Odometer(int value);
};
