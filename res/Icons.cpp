#include "res/QuillmarRes.h"

#include <algorithm>

#include "res/IconTable.h"

using quillmar_res::IconEntry;

extern "C" const char* QuillmarRes_Icon(unsigned id) {
    const IconEntry* begin = quillmar_res::kIcons;
    const IconEntry* end = begin + quillmar_res::kIconCount;
    // The generator sorts the table by number.
    const IconEntry* found =
        std::lower_bound(begin, end, id, [](const IconEntry& entry, unsigned wanted) { return entry.id < wanted; });
    return (found != end && found->id == id) ? found->svg : nullptr;
}
