#pragma once
// The frame's and views' way into the dialogs: each call shows the dialog (through the
// modal-dialog hook) and returns its documented result.
class CClient;
class CProject;
class CProjectItem;
class CProjectItemFilter;
class COleDateTime;

namespace dialogs {
int EditClient(CClient& client);                               // Save's result on OK with a change, else 0
int EditProject(CProject& project);                            // likewise
int EditProjectItem(CProjectItem& entry);                      // likewise, by the entry's type
int ManageCategories();                                        // non-zero when closed with OK
bool EditFilter(CProjectItemFilter& filter);                   // true when confirmed
int SelectDateRange(COleDateTime& start, COleDateTime& end);   // 1 on OK (date portions)
int EditOptions();                                             // 1 when confirmed and applied
void ExportData(const CProjectItemFilter& filter);             // the Export dialog on that filter
}   // namespace dialogs
