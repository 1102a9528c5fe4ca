#pragma once
// Amounts of entries as the entry editor's Calc. button forms them, shared by everything that
// makes entries (the editor, the timer) so they all bill alike.
#include "biz/BizExport.h"
#include "platform/CString.h"

// Amount of a time entry: minutes x 0.016666668 (1/60 in single precision) x hourly rate, formed
// in extended precision and kept in single precision; the device build forms every product in
// single precision, as the handheld always did.
QUILLMAR_BIZ_EXPORT float TimeEntryAmount(int minutes, float hourlyRate);
// Amount of a mileage entry: (end - begin) x rate in single precision.
QUILLMAR_BIZ_EXPORT float MileageEntryAmount(int odometerStart, int odometerEnd, float rate);
// The time amount with the rate of the stored category whose RefID is `categoryRef`: 0 when the
// duration is 0, when the reference is empty, or when no stored category carries it.
QUILLMAR_BIZ_EXPORT float TimeEntryAmountForCategory(int minutes, const CString& categoryRef);
