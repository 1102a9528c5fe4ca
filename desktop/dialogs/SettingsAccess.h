#pragma once
// The program settings the dialogs show, read from the application object; before it exists
// (or after it ended) the documented defaults.
#include "platform/CString.h"

// "CustomLabel1".."CustomLabel3" (n = 1..3).
CString CustomFieldLabel(int n);
// "MileageRate".
float MileageRateSetting();
