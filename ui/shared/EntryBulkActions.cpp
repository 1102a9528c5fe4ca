#include "ui/shared/EntryBulkActions.h"

#include <cstdlib>
#include <map>
#include <memory>

#include "biz/BaseObject.h"
#include "biz/ProjectItem.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "ui/shared/WriteCheck.h"

namespace {

using Action = CEntryBulkActions::Action;

// At most this many entries are named in a message; the rest are counted.
constexpr size_t kNamedInMessage = 10;

bool NeedsChange(Action action, const CProjectItem& entry) {
    switch (action) {
    case Action::MarkPaid: return entry.get_PymtStatus() != CProjectItem::PymtStatus_Paid;
    case Action::MarkBilled: return entry.get_PymtStatus() == CProjectItem::PymtStatus_NotBilled;
    case Action::Delete: return true;
    }
    return false;
}

// Writes the one entry; the message box of a single Delete is the record's own.
bool Apply(Action action, CProjectItem& entry, bool askedAlready) {
    switch (action) {
    case Action::MarkPaid: entry.set_PymtStatus(CProjectItem::PymtStatus_Paid); return entry.Save() != 0;
    case Action::MarkBilled: entry.set_PymtStatus(CProjectItem::PymtStatus_Billed); return entry.Save() != 0;
    case Action::Delete:
        // Asked once for all of them: the record's deletion without its own question.
        return (askedAlready ? entry.CBaseObject::Delete() : entry.Delete()) != 0;
    }
    return false;
}

const char16_t* PastTense(Action action) {
    switch (action) {
    case Action::MarkPaid: return u"marked as paid";
    case Action::MarkBilled: return u"marked as billed";
    case Action::Delete: return u"deleted";
    }
    return u"";
}

CString Count(size_t count) {
    CString text;
    text.Format(u"%d %s", static_cast<int>(count), count == 1 ? u"entry" : u"entries");
    return text;
}

CString NameList(const std::vector<int>& ids, const std::map<int, CString>& labels) {
    CString text;
    for (size_t i = 0; i < ids.size() && i < kNamedInMessage; ++i)
        text += u"\n    " + labels.at(ids[i]);
    if (ids.size() > kNamedInMessage) {
        CString more;
        more.Format(u"\n    and %d more", static_cast<int>(ids.size() - kNamedInMessage));
        text += more;
    }
    return text;
}

void ReportFailure(Action action, const CEntryBulkActions::Outcome& outcome, const std::map<int, CString>& labels,
                   const CString& reason) {
    CString message;
    message.Format(u"%s of %s could not be %s:", Count(outcome.unchanged.size()).GetString(),
                   Count(outcome.changed.size() + outcome.unchanged.size()).GetString(), PastTense(action));
    message += NameList(outcome.unchanged, labels);
    if (!outcome.changed.empty()) {
        CString done;
        done.Format(u"\n\nThese %s %s:", outcome.changed.size() == 1 ? u"was" : u"were", PastTense(action));
        message += done + NameList(outcome.changed, labels);
    } else {
        message += u"\n\nNo entry was changed.";
    }
    if (!reason.IsEmpty())
        message += u"\n\n" + reason;
    AfxMessageBox(message, MB_OK | MB_ICONSTOP);
}

}   // namespace

CString CEntryBulkActions::EntryLabel(const CProjectItem& entry) {
    const Locale& locale = Locale::UserDefault();
    CString label = locale.FormatDate(entry.get_ItemDate(), locale.shortDatePicture);
    const CString description = entry.get_DescriptionEx();
    if (!description.IsEmpty())
        label += u"  " + description;
    return label;
}

CString CEntryBulkActions::ConfirmationText(Action action, int count, int selected) {
    CString which;
    if (count == selected)
        which.Format(u"the %d selected entries", count);
    else
        which.Format(u"%d of the %d selected entries (the others need no change)", count, selected);
    switch (action) {
    case Action::MarkPaid: return u"Mark " + which + u" as paid?";
    case Action::MarkBilled: return u"Mark " + which + u" as billed?";
    case Action::Delete: return u"Delete " + which + u"?";
    }
    return CString();
}

CEntryBulkActions::Outcome CEntryBulkActions::Run(Action action, const std::vector<int>& ids) {
    Outcome outcome;
    std::vector<std::unique_ptr<CProjectItem>> entries;
    for (int id : ids) {
        auto entry = std::make_unique<CProjectItem>();
        entry->set_ID(std::abs(id));
        if (entry->get_ID() != 0 && entry->Load() && NeedsChange(action, *entry))
            entries.push_back(std::move(entry));
    }
    if (entries.empty())
        return outcome;
    const bool several = entries.size() > 1;
    if (several) {
        const CString question =
            ConfirmationText(action, static_cast<int>(entries.size()), static_cast<int>(ids.size()));
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return outcome;
        outcome.asked = true;
    }
    std::map<int, CString> labels;
    CString reason;
    for (const auto& stored : entries) {
        CProjectItem& entry = *stored;
        labels[entry.get_ID()] = EntryLabel(entry);
        const CWriteCheck check;
        if (Apply(action, entry, several)) {
            outcome.changed.push_back(entry.get_ID());
            continue;
        }
        // A single Delete the user declined is no failure.
        if (!check.Failed() && !several && action == Action::Delete)
            return outcome;
        outcome.unchanged.push_back(entry.get_ID());
        if (reason.IsEmpty() && check.Failed())
            reason = CWriteCheck::FailureMessage();
    }
    if (!outcome.unchanged.empty()) {
        if (several)
            ReportFailure(action, outcome, labels, reason);
        else
            AfxMessageBox(reason.IsEmpty() ? CString(u"The entry could not be changed.") : reason,
                          MB_OK | MB_ICONSTOP);
    }
    return outcome;
}
