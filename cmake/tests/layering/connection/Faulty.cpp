// Layering check fixture: the connection reaching for records.
#include "biz/Client.h"
