// Layering check fixture: one program including the other.
#include "desktop/MainFrame.h"
