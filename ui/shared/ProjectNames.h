#pragma once
// Projects by the names the user sees ("Client: Project"), for boxes that take a typed name:
// a name typed whole, or a part of it that only one project's name holds, names that project.
// Case and accents do not count ("zurich" finds "Zürich Bank: Website"), and the offer of
// names shown while typing follows the same rule.
#include <vector>

#include <QCompleter>
#include <QString>
#include <QStringList>

#include "platform/CString.h"

class QAbstractItemModel;

class CProjectNames {
public:
    // Every project of the data store, sorted by name.
    static CProjectNames FromStore();

    // A name that is there already (same text) is not added again.
    void Add(const QString& name, const CString& refId);
    // The RefID of the one project the typed text names; empty when none or several.
    CString Find(const QString& typed) const;
    QStringList Names() const;
    bool IsEmpty() const { return m_names.empty(); }

private:
    struct Name {
        QString text;
        std::u16string folded;
        CString refId;
    };
    std::vector<Name> m_names;
};

// A completer offering the names that hold the typed text, regardless of case and accents.
class CFoldingCompleter : public QCompleter {
    Q_OBJECT
public:
    // The role of a model's items that holds their folded text.
    static constexpr int kFoldedRole = Qt::UserRole + 40;

    // Over a list of names.
    CFoldingCompleter(const QStringList& names, QObject* parent);
    // Over a model whose items carry kFoldedRole (FoldItems gives them it).
    CFoldingCompleter(QAbstractItemModel* model, QObject* parent);
    // Gives every item of column 0 its folded display text under kFoldedRole.
    static void FoldItems(QAbstractItemModel& model);

    QString pathFromIndex(const QModelIndex& index) const override;
    QStringList splitPath(const QString& path) const override;

private:
    void Setup();
};
