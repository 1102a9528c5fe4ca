#pragma once
// A growable array of records that owns them: the array deletes what it holds when it is
// destroyed, cleared, or when an element is removed with RemoveAt. Detach() hands one back.
#include <memory>
#include <vector>

#include "platform/Object.h"
#include "platform/PlatformExport.h"

class QUILLMAR_PLATFORM_EXPORT CObArray {
public:
    CObArray() = default;
    CObArray(const CObArray&) = delete;
    CObArray& operator=(const CObArray&) = delete;
    CObArray(CObArray&&) = default;
    CObArray& operator=(CObArray&&) = default;
    ~CObArray() = default;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }

    CObject* GetAt(int index) const { return m_items.at(index).get(); }
    CObject* operator[](int index) const { return GetAt(index); }

    int Add(CObject* item) {
        m_items.emplace_back(item);
        return GetSize() - 1;
    }
    int Add(std::unique_ptr<CObject> item) {
        m_items.push_back(std::move(item));
        return GetSize() - 1;
    }
    void InsertAt(int index, CObject* item) { m_items.emplace(m_items.begin() + index, item); }
    void SetAt(int index, CObject* item) { m_items.at(index).reset(item); }
    void RemoveAt(int index, int count = 1) {
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }
    void RemoveAll() { m_items.clear(); }
    std::unique_ptr<CObject> Detach(int index) {
        auto item = std::move(m_items.at(index));
        m_items.erase(m_items.begin() + index);
        return item;
    }
    void Reserve(int count) { m_items.reserve(count); }

    // Access to the storage for algorithms such as stable sorting.
    std::vector<std::unique_ptr<CObject>>& Items() { return m_items; }
    const std::vector<std::unique_ptr<CObject>>& Items() const { return m_items; }

private:
    std::vector<std::unique_ptr<CObject>> m_items;
};
