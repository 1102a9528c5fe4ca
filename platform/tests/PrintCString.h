#pragma once
// Lets GoogleTest show CString values as text in failure messages.
#include <ostream>

#include "platform/CString.h"

inline void PrintTo(const CString& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }
