#pragma once
// One line per event on standard error, with time and process id, so the lines of concurrent
// connections can be told apart.
#include <string>

void LogLine(const std::string& text);
