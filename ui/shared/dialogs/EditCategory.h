#pragma once
// The Edit Category dialog. The caller owns the category.
class CCategory;

// The result of the category's Save when the user confirmed and the category changed;
// otherwise 0.
int EditCategory(CCategory* pCategory);
