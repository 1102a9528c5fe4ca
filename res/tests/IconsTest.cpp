#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "res/tests/ResLibrary.h"

using res_test::NamedIconIds;
using res_test::Res;

namespace {

std::string Svg(unsigned id) {
    const char* svg = Res().icon(id);
    return svg != nullptr ? svg : std::string();
}

// Position just past the '>' that ends the tag opened at `from`, honouring quoted attribute
// values; npos when the tag never ends.
std::size_t TagEnd(const std::string& text, std::size_t from) {
    char quote = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return std::string::npos;
}

std::string TagName(const std::string& text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && text[end] != ' ' && text[end] != '>' && text[end] != '/' && text[end] != '\n' &&
           text[end] != '\t' && text[end] != '\r')
        ++end;
    return text.substr(from, end - from);
}

// Tags open and close in matching pairs under one root; comments are skipped. Enough to catch
// a truncated or hand-broken drawing without a full XML parser.
bool TagsBalance(const std::string& svg, std::string& why) {
    std::vector<std::string> open;
    int roots = 0;
    for (std::size_t at = svg.find('<'); at != std::string::npos; at = svg.find('<', at)) {
        if (svg.compare(at, 4, "<!--") == 0) {
            const std::size_t close = svg.find("-->", at + 4);
            if (close == std::string::npos)
                return why = "unterminated comment", false;
            at = close + 3;
            continue;
        }
        const std::size_t end = TagEnd(svg, at + 1);
        if (end == std::string::npos)
            return why = "unterminated tag at " + std::to_string(at), false;
        if (svg[at + 1] == '/') {
            const std::string name = TagName(svg, at + 2);
            if (open.empty() || open.back() != name)
                return why = "unexpected </" + name + ">", false;
            open.pop_back();
        } else {
            const std::string name = TagName(svg, at + 1);
            if (name.empty())
                return why = "tag without a name at " + std::to_string(at), false;
            if (open.empty() && ++roots > 1)
                return why = "more than one root element", false;
            if (svg[end - 2] != '/')
                open.push_back(name);
        }
        at = end;
    }
    if (!open.empty())
        return why = "<" + open.back() + "> never closed", false;
    return roots == 1 || (why = "no element", false);
}

class ResIcons : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Res().error, "");
        ASSERT_NE(Res().icon, nullptr) << "QuillmarRes_Icon is not exported";
    }
};

}   // namespace

TEST_F(ResIcons, EveryNamedIconIsAnSvgDocument) {
    for (unsigned id : NamedIconIds()) {
        const std::string svg = Svg(id);
        ASSERT_FALSE(svg.empty()) << "icon " << id;
        EXPECT_EQ(svg.rfind("<svg", 0), 0u) << "icon " << id;
        EXPECT_GE(svg.size(), 6u);
        EXPECT_EQ(svg.substr(svg.size() - 6), "</svg>") << "icon " << id;
    }
}

TEST_F(ResIcons, EveryNamedIconIsWellFormed) {
    for (unsigned id : NamedIconIds()) {
        std::string why;
        EXPECT_TRUE(TagsBalance(Svg(id), why)) << "icon " << id << ": " << why;
    }
}

TEST_F(ResIcons, IconsScaleFromOneSquareViewBox) {
    for (unsigned id : NamedIconIds()) {
        const std::string svg = Svg(id);
        const std::string root = svg.substr(0, svg.find('>'));
        EXPECT_NE(root.find("xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos) << "icon " << id;
        const bool square16 = root.find("viewBox=\"0 0 16 16\"") != std::string::npos;
        const bool square32 = root.find("viewBox=\"0 0 32 32\"") != std::string::npos;
        EXPECT_TRUE(square16 || square32) << "icon " << id;
    }
}

TEST_F(ResIcons, EachIconHasItsOwnDrawing) {
    std::set<std::string> drawings;
    for (unsigned id : NamedIconIds())
        EXPECT_TRUE(drawings.insert(Svg(id)).second) << "icon " << id << " repeats another";
}

TEST_F(ResIcons, UnknownNumbersGiveNull) {
    for (unsigned id : {0u, 1u, 11u, 18u, 45u, 50u, 53u, 55u, 105u, 115u, 4294967295u})
        EXPECT_EQ(Res().icon(id), nullptr) << "icon " << id;
}

TEST_F(ResIcons, NothingBeyondTheNamedNumbers) {
    const auto named = NamedIconIds();
    const std::set<unsigned> known(named.begin(), named.end());
    for (unsigned id = 0; id <= 0xFFFF; ++id) {
        if (Res().icon(id) != nullptr) {
            EXPECT_TRUE(known.contains(id)) << "unexpected icon " << id;
        }
    }
}

TEST(ResChecker, CatchesBrokenDrawings) {
    // The checker itself must reject what it is there to catch.
    std::string why;
    EXPECT_TRUE(TagsBalance("<svg><g><path d=\"a>b\"/></g></svg>", why)) << why;
    EXPECT_FALSE(TagsBalance("<svg><g></svg>", why));
    EXPECT_FALSE(TagsBalance("<svg><path d=\"x\"", why));
    EXPECT_FALSE(TagsBalance("<svg></svg><svg></svg>", why));
    EXPECT_FALSE(TagsBalance("<svg></g></svg>", why));
    EXPECT_FALSE(TagsBalance("plain text", why));
}
