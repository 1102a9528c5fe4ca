// A small stand-in resource library for the Library tests, built beside the test programs.
#include <string>

namespace {

const std::string& LongText() {
    static const std::string text(600, 'x');
    return text;
}

// 258 'a' then U+1F600, whose surrogate pair straddles a 259-unit cut.
const std::string& StraddlingText() {
    static const std::string text = std::string(258, 'a') + "\xF0\x9F\x98\x80" + "tail";
    return text;
}

}   // namespace

extern "C" __attribute__((visibility("default"))) const char* QuillmarRes_String(unsigned id) {
    switch (id) {
    case 1: return "Hello";
    case 2:
        return "Gr\xC3\xB6\xC3\x9F"
               "e \xE2\x82\xAC";
    case 3: return LongText().c_str();
    case 4: return StraddlingText().c_str();
    case 5: return "bad \xFF byte";
    case 6: return "";
    default: return nullptr;
    }
}

extern "C" __attribute__((visibility("default"))) const char* QuillmarRes_Icon(unsigned id) {
    return id == 12 ? "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"/>" : nullptr;
}
