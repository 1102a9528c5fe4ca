#include "platform/StringTable.h"

#include <mutex>

namespace {

struct TableState {
    std::mutex mutex;
    std::map<unsigned, CString> table;
};

TableState& State() {
    static TableState state;
    return state;
}

}   // namespace

void StringTable::Register(std::map<unsigned, CString> table) {
    std::lock_guard lock(State().mutex);
    State().table = std::move(table);
}

void StringTable::Add(unsigned id, const CString& text) {
    std::lock_guard lock(State().mutex);
    State().table[id] = text;
}

CString StringTable::Get(unsigned id) {
    std::lock_guard lock(State().mutex);
    const auto found = State().table.find(id);
    return found == State().table.end() ? CString() : found->second;
}

bool StringTable::Has(unsigned id) {
    std::lock_guard lock(State().mutex);
    return State().table.count(id) != 0;
}
