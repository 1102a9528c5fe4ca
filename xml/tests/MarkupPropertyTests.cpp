// Property: after any sequence of navigation and edits, the maintained index equals the index
// a fresh parse of the text gives, and the positions point at linked elements.
#include <random>
#include <string>

#include "xml/tests/MarkupTestSupport.h"

namespace {

const char16_t* const kNames[] = {u"a", u"b", u"item", u"ns:x", u"c1"};
const char16_t* const kAttribNames[] = {u"id", u"k", u"refId"};
const char16_t* const kValues[] = {u"",    u"x",          u"a<b",          u"&amp;",     u"q\"uote'", u"multi\r\nline",
                                   u"]]>", u"  spaced  ", u"\u00e9\u20ac", u"<![CDATA[", u"&#65;"};

class RandomMarkup {
public:
    explicit RandomMarkup(unsigned seed) : m_rng(seed) {}

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_rng); }
    bool Chance(int percent) { return Pick(100) < percent; }

    const char16_t* Name() { return kNames[Pick(5)]; }
    const char16_t* AttribName() { return kAttribNames[Pick(3)]; }
    const char16_t* Value() { return kValues[Pick(11)]; }

    std::u16string Escaped(const char16_t* text, bool attrib) { return CMarkupEscaper::Escape(text, attrib); }

    std::u16string Separator() {
        switch (Pick(6)) {
        case 0: return u"";
        case 1: return u" ";
        case 2: return u"\r\n";
        case 3: return u"\n\t";
        case 4: return u"<!-- c <x> -->";
        default: return u"<?pi ?>\r\n";
        }
    }

    std::u16string Element(int depth) {
        std::u16string name = Name();
        std::u16string out = u"<" + name;
        for (int i = Pick(3); i > 0; --i) {
            out += u" ";
            out += AttribName();
            out += Chance(80) ? u"=\"" + Escaped(Value(), true) + u"\"" : u"='v'";
        }
        int shape = depth > 3 ? Pick(3) : Pick(5);
        if (shape == 0)
            return out + u"/>";
        out += u">";
        if (shape == 1) {
            out += Escaped(Value(), false);
        } else if (shape == 2) {
            out += u"<![CDATA[<raw>]]>";
        } else {
            for (int i = Pick(4); i > 0; --i)
                out += Separator() + Element(depth + 1);
            out += Separator();
        }
        return out + u"</" + name + u">";
    }

    std::u16string Document() {
        std::u16string doc = Chance(30) ? u"<?xml version=\"1.0\"?>\r\n" : u"";
        return doc + Element(0) + u"\r\n";
    }

    std::u16string SubDoc() {
        std::u16string lead = Chance(30) ? (Chance(50) ? u"<!-- lead -->" : u"<?xml version=\"1.0\"?>\r\n") : u"";
        return lead + Element(2) + (Chance(50) ? u"\r\n" : u"");
    }

private:
    // The escaping the engine itself uses, reached through a probe.
    struct CMarkupEscaper : CMarkup {
        static std::u16string Escape(const char16_t* text, bool attrib) { return x_TextToDoc(text, attrib).str(); }
    };

    std::mt19937 m_rng;
};

::testing::AssertionResult PositionsAreLinked(const MarkupProbe& m) {
    if (m.MainPos() && m.Entry(m.MainPos()).parent != m.ParentPos())
        return ::testing::AssertionFailure() << "main element is not a child of the parent position";
    if (m.ChildPos() && m.Entry(m.ChildPos()).parent != m.MainPos())
        return ::testing::AssertionFailure() << "child element is not a child of the main position";
    if (m.NodeType() != (m.MainPos() ? 1 : 0))
        return ::testing::AssertionFailure() << "node type " << m.NodeType() << " with main " << m.MainPos();
    return ::testing::AssertionSuccess();
}

std::string Step(MarkupProbe& m, RandomMarkup& r) {
    switch (r.Pick(22)) {
    case 0: m.FindElem(r.Chance(50) ? r.Name() : nullptr); return "FindElem";
    case 1: m.FindChildElem(r.Chance(50) ? r.Name() : nullptr); return "FindChildElem";
    case 2: m.IntoElem(); return "IntoElem";
    case 3: m.OutOfElem(); return "OutOfElem";
    case 4: m.ResetMainPos(); return "ResetMainPos";
    case 5: m.ResetChildPos(); return "ResetChildPos";
    case 6:
        if (r.Chance(20))
            m.ResetPos();
        return "ResetPos";
    case 7: m.AddElem(r.Name(), r.Value()); return "AddElem";
    case 8: m.InsertElem(r.Name(), r.Value()); return "InsertElem";
    case 9: m.AddChildElem(r.Name(), r.Value()); return "AddChildElem";
    case 10: m.InsertChildElem(r.Name(), r.Value()); return "InsertChildElem";
    case 11: m.AddSubDoc(r.SubDoc()); return "AddSubDoc";
    case 12: m.InsertSubDoc(r.SubDoc()); return "InsertSubDoc";
    case 13: m.AddChildSubDoc(r.SubDoc()); return "AddChildSubDoc";
    case 14: m.InsertChildSubDoc(r.SubDoc()); return "InsertChildSubDoc";
    case 15: m.SetAttrib(r.AttribName(), r.Value()); return "SetAttrib";
    case 16: m.SetChildAttrib(r.AttribName(), r.Pick(1000) - 500); return "SetChildAttrib";
    case 17: m.SetData(r.Value(), r.Pick(2)); return "SetData";
    case 18: m.SetChildData(r.Value(), r.Pick(2)); return "SetChildData";
    case 19:
        if (r.Chance(40))
            m.RemoveElem();
        return "RemoveElem";
    case 20:
        if (r.Chance(40))
            m.RemoveChildElem();
        return "RemoveChildElem";
    default:
        m.FindChildElem();
        m.IntoElem();
        return "FindChildElem+IntoElem";
    }
}

TEST(MarkupProperty, RandomEditsKeepTheIndexExact) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomMarkup r(seed);
        MarkupProbe m;
        std::u16string doc = r.Document();
        ASSERT_TRUE(m.SetDoc(doc)) << CString(doc).ToUtf8() << " " << m.GetError().ToUtf8();
        ASSERT_TRUE(IndexMatchesReparse(m)) << "seed " << seed;
        for (int step = 0; step < 80; ++step) {
            std::string op = Step(m, r);
            ASSERT_TRUE(IndexMatchesReparse(m)) << "seed " << seed << " step " << step << " " << op;
            ASSERT_TRUE(PositionsAreLinked(m)) << "seed " << seed << " step " << step << " " << op;
        }
    }
}

TEST(MarkupProperty, DocumentsBuiltFromNothingReparseTheSame) {
    for (unsigned seed = 1000; seed < 1100; ++seed) {
        RandomMarkup r(seed);
        MarkupProbe m;
        ASSERT_TRUE(m.AddElem(r.Name()));
        for (int step = 0; step < 60; ++step) {
            std::string op = Step(m, r);
            ASSERT_TRUE(IndexMatchesReparse(m)) << "seed " << seed << " step " << step << " " << op;
            ASSERT_TRUE(PositionsAreLinked(m)) << "seed " << seed << " step " << step << " " << op;
        }
    }
}

}   // namespace

// Drops some of the root's children and appends one, in one bulk edit.
void RewriteSomeChildren(CMarkup& m, RandomMarkup& r) {
    m.ResetPos();
    if (!m.FindElem() || !m.HasPlainChildren())
        return;
    std::vector<bool> removed;
    while (m.FindChildElem())
        removed.push_back(r.Chance(30));
    m.RewriteChildren(removed, {}, u"<added/>\r\n");
}

// Property: whatever edits follow a checkpoint (splices, whole replacements, copies), going back
// gives the text exactly as it was then, and "at the checkpoint" is only said of that text.
TEST(MarkupProperty, RevertingGivesTheTextOfTheCheckpoint) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        RandomMarkup r(seed);
        MarkupProbe m;
        ASSERT_TRUE(m.SetDoc(r.Document()));
        m.MarkCheckpoint();
        CString atCheckpoint = m.GetDoc();
        for (int step = 0; step < 60; ++step) {
            std::string op;
            switch (r.Pick(20)) {
            case 0:
                op = "SetDoc";
                m.SetDoc(r.Document());
                break;
            case 1:
                op = "assign";
                m = MarkupProbe(CString(r.Document()));
                break;
            case 4:
                op = "RewriteChildren";
                RewriteSomeChildren(m, r);
                break;
            case 2: {
                op = "revert";
                const bool wasAtCheckpoint = m.IsAtCheckpoint();
                const bool reverted = m.RevertToCheckpoint();
                ASSERT_EQ(m.GetDoc(), atCheckpoint) << "seed " << seed << " step " << step;
                // False only for a text that does not parse, as SetDoc says of it.
                if (!wasAtCheckpoint) {
                    ASSERT_EQ(reverted, CMarkup().SetDoc(atCheckpoint)) << "seed " << seed << " step " << step;
                }
                ASSERT_TRUE(m.IsAtCheckpoint());
                ASSERT_TRUE(IndexMatchesReparse(m));
                break;
            }
            case 3:
                op = "checkpoint";
                m.MarkCheckpoint();
                atCheckpoint = m.GetDoc();
                break;
            default: op = Step(m, r); break;
            }
            if (m.IsAtCheckpoint()) {
                ASSERT_EQ(m.GetDoc(), atCheckpoint) << "seed " << seed << " step " << step << " " << op;
            }
        }
        m.RevertToCheckpoint();
        ASSERT_EQ(m.GetDoc(), atCheckpoint) << "seed " << seed;
    }
}

// Property: a long list of records edited as the store edits it (one removed from anywhere and
// added again at the end, some inserted at the front) keeps its index exact; the engine takes
// short cuts through long sibling lists that these edits must not lead astray.
TEST(MarkupProperty, RecordsSavedAgainAtTheEndKeepTheIndexExact) {
    std::mt19937 rng(7);
    MarkupProbe m(u"<root>\r\n<meta/>\r\n</root>\r\n");
    ASSERT_TRUE(m.FindElem());
    ASSERT_TRUE(m.IntoElem());
    for (int i = 0; i < 120; ++i) {
        m.ResetMainPos();
        ASSERT_TRUE(m.AddElem(u"item", u"x"));
        m.SetAttrib(u"id", i);
    }
    ASSERT_TRUE(IndexMatchesReparse(m));
    std::vector<int> order;
    for (int step = 0; step < 300; ++step) {
        m.ResetMainPos();
        const int skip = std::uniform_int_distribution<int>(0, 119)(rng);
        ASSERT_TRUE(m.FindElem(u"item"));
        for (int k = 0; k < skip && m.FindElem(u"item"); ++k) {}
        const CString id = m.GetAttrib(u"id");
        const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
        ASSERT_TRUE(m.RemoveElem());
        m.ResetMainPos();
        if (kind == 0) {
            ASSERT_TRUE(m.InsertElem(u"item"));
        } else {
            ASSERT_TRUE(m.AddElem(u"item"));
            // A record's fields: children of the new element, a short list of their own.
            ASSERT_TRUE(m.AddChildElem(u"description", u"d"));
            ASSERT_TRUE(m.AddChildElem(u"modified", u"m"));
        }
        m.SetAttrib(u"id", id);
        ASSERT_TRUE(IndexMatchesReparse(m)) << "step " << step;
    }
    // Every record is still there once.
    m.ResetMainPos();
    int count = 0;
    while (m.FindElem(u"item"))
        ++count;
    EXPECT_EQ(count, 120);
}
