#pragma once
// The entry editor: a tabbed sheet (Details, Billing, Custom, Notes) for one time, expense or
// mileage entry. The caller owns the entry before and after.
class CProjectItem;

// Dispatches on the item type (1 time, 2 mileage, 3 expense); any other type shows nothing
// and returns 0.
int EditProjectItem(CProjectItem* pItem);
// Show the sheet; the result of the entry's Save when the user pressed OK and something
// changed, otherwise 0 (Cancel, or OK without any change).
int EditTimeEntry(CProjectItem* pItem);
int EditExpenseEntry(CProjectItem* pItem);
int EditMileageEntry(CProjectItem* pItem);
