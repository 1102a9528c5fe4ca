// Layering check fixture: what sync/ may include.
#include <string>

#include "biz/Client.h"
#include "platform/CString.h"
