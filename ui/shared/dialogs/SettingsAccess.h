#pragma once
// The program settings the shared dialogs show, from the installed host (ui/shared/AppHost.h);
// without one, the documented defaults.
#include "platform/CString.h"

// "CustomLabel1".."CustomLabel3" (n = 1..3); empty for another n.
CString CustomFieldLabel(int n);
// "MileageRate".
float MileageRateSetting();
