#pragma once
// The Filter Data sheet (General, Custom Fields).
class CProjectItemFilter;

// True when the user confirmed; the filter's references, include flags and custom texts then
// hold the new choices. On Cancel the filter is untouched. The active flag is the caller's.
bool EditFilter(CProjectItemFilter* pFilter);
