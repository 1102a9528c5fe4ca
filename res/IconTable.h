#pragma once
// The embedded icons, generated at build time from res/icons/ and sorted by number.
#include <cstddef>

namespace quillmar_res {

struct IconEntry {
    unsigned id;
    const char* svg;   // complete SVG document, starting with "<svg"
};

extern const IconEntry kIcons[];
extern const std::size_t kIconCount;

}   // namespace quillmar_res
