#pragma once
// Every shared page and dialog, made with its controls, for the tests that walk them all (their
// device looks above all). Header only, so each program's tests compile it against their own
// build of the business library.
#include <QDialog>

#include <functional>
#include <vector>

#include "ui/qt/ModalDialog.h"
#include "ui/shared/dialogs/DlgBillingDetails.h"
#include "ui/shared/dialogs/DlgCategories.h"
#include "ui/shared/dialogs/DlgClient.h"
#include "ui/shared/dialogs/DlgCustom.h"
#include "ui/shared/dialogs/DlgDateRange.h"
#include "ui/shared/dialogs/DlgEditCategory.h"
#include "ui/shared/dialogs/DlgEditDuration.h"
#include "ui/shared/dialogs/DlgExpenseDetails.h"
#include "ui/shared/dialogs/DlgFilterCustom.h"
#include "ui/shared/dialogs/DlgFilterGeneral.h"
#include "ui/shared/dialogs/DlgMileageDetails.h"
#include "ui/shared/dialogs/DlgNotes.h"
#include "ui/shared/dialogs/DlgOptionsCustomFields.h"
#include "ui/shared/dialogs/DlgOptionsPrefs.h"
#include "ui/shared/dialogs/DlgProject.h"
#include "ui/shared/dialogs/DlgTimeDetails.h"

using SharedDialogVisit = std::function<void(QWidget& dialog)>;

struct SharedDialog {
    const char* name;
    // Makes the page (its controls created) or the dialog (shown through the modal-dialog hook,
    // then cancelled) and hands it to the visit while it exists.
    void (*walk)(const SharedDialogVisit& visit);
};

template <typename Page>
void WalkSharedPage(const SharedDialogVisit& visit) {
    Page page;
    page.EnsureCreated();
    visit(page);
}

template <typename Dialog>
void WalkSharedDialog(const SharedDialogVisit& visit) {
    Dialog dialog;
    ScopedModalDialogHandler handler([&visit](QDialog& shown) {
        visit(shown);
        return static_cast<int>(QDialog::Rejected);
    });
    dialog.DoModal();
}

inline const std::vector<SharedDialog>& EverySharedDialog() {
    static const std::vector<SharedDialog> all = {
        {"TimeDetails", WalkSharedPage<CDlgTimeDetails>},
        {"ExpenseDetails", WalkSharedPage<CDlgExpenseDetails>},
        {"MileageDetails", WalkSharedPage<CDlgMileageDetails>},
        {"BillingDetails", WalkSharedPage<CDlgBillingDetails>},
        {"Custom", WalkSharedPage<CDlgCustom>},
        {"Notes", WalkSharedPage<CDlgNotes>},
        {"Client", WalkSharedPage<CDlgClient>},
        {"Project", WalkSharedPage<CDlgProject>},
        {"Categories", WalkSharedDialog<CDlgCategories>},
        {"EditCategory", WalkSharedDialog<CDlgEditCategory>},
        {"EditDuration", WalkSharedDialog<CDlgEditDuration>},
        {"DateRange", WalkSharedDialog<CDlgDateRange>},
        {"OptionsPrefs", WalkSharedPage<CDlgOptionsPrefs>},
        {"OptionsCustomFields", WalkSharedPage<CDlgOptionsCustomFields>},
        {"FilterGeneral", WalkSharedPage<CDlgFilterGeneral>},
        {"FilterCustom", WalkSharedPage<CDlgFilterCustom>},
    };
    return all;
}
