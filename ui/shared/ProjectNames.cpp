#include "ui/shared/ProjectNames.h"

#include <algorithm>
#include <memory>

#include <QAbstractItemModel>
#include <QStandardItemModel>

#include "biz/DataHelper.h"
#include "biz/EntryMatcher.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "platform/ObArray.h"
#include "ui/qt/QtConvert.h"

namespace {

std::u16string Folded(const QString& text) { return CEntryMatcher::Fold(text.toStdU16String()); }

}   // namespace

CProjectNames CProjectNames::FromStore() {
    CProjectNames names;
    CDataHelper* store = GetCurrDataHelper();
    const std::unique_ptr<CObArray> projects(store ? store->GetObjectList(u"project") : nullptr);
    for (int index = 0; projects && index < projects->GetSize(); ++index) {
        if (const auto* project = dynamic_cast<const CProject*>(projects->GetAt(index)))
            names.Add(qtconv::ToQString(FormatProjectName(project->get_RefID())), project->get_RefID());
    }
    std::sort(names.m_names.begin(), names.m_names.end(),
              [](const Name& a, const Name& b) { return a.text.compare(b.text, Qt::CaseInsensitive) < 0; });
    return names;
}

void CProjectNames::Add(const QString& name, const CString& refId) {
    const bool known = std::any_of(m_names.begin(), m_names.end(), [&](const Name& n) { return n.text == name; });
    if (!known)
        m_names.push_back({name, Folded(name), refId});
}

CString CProjectNames::Find(const QString& typed) const {
    const std::u16string folded = Folded(typed.trimmed());
    if (folded.empty())
        return CString();
    const Name* found = nullptr;
    int holding = 0;
    for (const Name& name : m_names) {
        // A whole name wins even when it is part of another's ("Web" beside "Web shop").
        if (name.folded == folded)
            return name.refId;
        if (CEntryMatcher::ContainsFolded(name.folded, folded)) {
            found = &name;
            ++holding;
        }
    }
    return holding == 1 ? found->refId : CString();
}

QStringList CProjectNames::Names() const {
    QStringList texts;
    for (const Name& name : m_names)
        texts.append(name.text);
    return texts;
}

CFoldingCompleter::CFoldingCompleter(const QStringList& names, QObject* parent) : QCompleter(parent) {
    auto* model = new QStandardItemModel(this);
    for (const QString& name : names)
        model->appendRow(new QStandardItem(name));
    FoldItems(*model);
    setModel(model);
    Setup();
}

CFoldingCompleter::CFoldingCompleter(QAbstractItemModel* model, QObject* parent) : QCompleter(model, parent) {
    Setup();
}

void CFoldingCompleter::Setup() {
    setCompletionRole(kFoldedRole);
    setCaseSensitivity(Qt::CaseSensitive);   // both sides are folded already
    setFilterMode(Qt::MatchContains);
    setCompletionMode(QCompleter::PopupCompletion);
}

void CFoldingCompleter::FoldItems(QAbstractItemModel& model) {
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        model.setData(index, QString::fromStdU16String(Folded(index.data(Qt::DisplayRole).toString())), kFoldedRole);
    }
}

QString CFoldingCompleter::pathFromIndex(const QModelIndex& index) const {
    // What the box shows is the name itself, not its folding.
    return index.data(Qt::DisplayRole).toString();
}

QStringList CFoldingCompleter::splitPath(const QString& path) const {
    return {QString::fromStdU16String(Folded(path))};
}
