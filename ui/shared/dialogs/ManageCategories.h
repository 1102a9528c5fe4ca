#pragma once
// The Categories dialog.
class CCategory;

// With a category the dialog runs in select mode: it starts on that category (the top entry
// for ID 0) and after OK the category's ID is the one chosen. Non-zero exactly when the
// dialog closed with OK.
int ManageCategories(CCategory* pCategory = nullptr);
