// libFuzzer target: parse the input, then run a short edit script taken from the input, and
// check after every step that the index still describes the text.
//
// Input layout: two bytes (little-endian) give the length of the document part; that many
// UTF-8 bytes are the document; the rest is the script, one opcode byte and one argument byte
// per step. Sub-documents are taken from the script bytes themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "xml/MarkupArchive.h"

namespace {

const char16_t* const kNames[] = {u"a", u"b", u"item", u"ns:x", u"client"};
const char16_t* const kValues[] = {u"", u"x", u"a<b&c>", u"\"'", u"]]>", u"\r\n", u"&#x1F600;", u"7"};

class Script {
public:
    Script(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool AtEnd() const { return m_at >= m_size; }
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::string Bytes(size_t count) {
        count = std::min(count, m_size - m_at);
        std::string out(reinterpret_cast<const char*>(m_data + m_at), count);
        m_at += count;
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

class FuzzMarkup : public CMarkupArchive {
public:
    // Every linked element must sit on its tags and inside its parent's content.
    // One flag per child of the main element, taken from the bits of `bits`.
    std::vector<bool> RemovalFlags(uint8_t bits) const {
        std::vector<bool> flags;
        if (m_iPos > 0) {
            for (int c = m_aPos[m_iPos].firstChild; c; c = m_aPos[c].nextSibling)
                flags.push_back(((bits >> (flags.size() % 8)) & 1) != 0);
        }
        return flags;
    }

    void CheckIndex() const {
        const std::u16string& text = m_strDoc.str();
        const int length = static_cast<int>(text.size());
        std::vector<int> pending;
        if (m_aPos[0].firstChild)
            pending.push_back(m_aPos[0].firstChild);
        size_t visited = 0;
        while (!pending.empty()) {
            int iPos = pending.back();
            pending.pop_back();
            if (iPos <= 0 || iPos >= m_iPosFree || ++visited > static_cast<size_t>(m_iPosFree))
                std::abort();
            const ElementPosition& pos = m_aPos[iPos];
            if (pos.startTagOpen < 0 || pos.endTagClose >= length || pos.startTagOpen >= pos.startTagClose ||
                pos.endTagClose < pos.startTagClose || pos.endTagOpen > pos.endTagClose)
                std::abort();
            if (text[pos.startTagOpen] != u'<' || text[pos.startTagClose] != u'>' || text[pos.endTagClose] != u'>')
                std::abort();
            int previousEnd = pos.startTagClose;
            for (int c = pos.firstChild; c; c = m_aPos[c].nextSibling) {
                if (c <= 0 || c >= m_iPosFree || m_aPos[c].parent != iPos)
                    std::abort();
                if (m_aPos[c].startTagOpen <= previousEnd || m_aPos[c].endTagClose >= pos.endTagOpen)
                    std::abort();
                previousEnd = m_aPos[c].endTagClose;
                pending.push_back(c);
            }
        }
    }
};

void RunStep(FuzzMarkup& m, Script& script) {
    uint8_t op = script.Byte();
    uint8_t arg = script.Byte();
    const char16_t* name = kNames[arg % 5];
    const char16_t* value = kValues[(arg >> 3) % 8];
    switch (op % 27) {
    case 0: m.FindElem(arg & 1 ? name : nullptr); break;
    case 1: m.FindChildElem(arg & 1 ? name : nullptr); break;
    case 2: m.IntoElem(); break;
    case 3: m.OutOfElem(); break;
    case 4: m.ResetPos(); break;
    case 5: m.ResetMainPos(); break;
    case 6: m.ResetChildPos(); break;
    case 7: m.AddElem(name, value); break;
    case 8: m.InsertElem(name, value); break;
    case 9: m.AddChildElem(name, value); break;
    case 10: m.InsertChildElem(name, value); break;
    case 11:
    case 12:
    case 13:
    case 14: {
        CString sub = CString::FromUtf8(script.Bytes(arg % 64));
        if (op % 27 == 11)
            m.AddSubDoc(sub);
        else if (op % 27 == 12)
            m.InsertSubDoc(sub);
        else if (op % 27 == 13)
            m.AddChildSubDoc(sub);
        else
            m.InsertChildSubDoc(sub);
        break;
    }
    case 15: m.SetAttrib(name, value); break;
    case 16: m.SetChildAttrib(name, static_cast<int>(arg) - 128); break;
    case 17: m.SetData(value, arg & 1); break;
    case 18: m.SetChildData(value, arg & 1); break;
    case 19: m.RemoveElem(); break;
    case 20: m.RemoveChildElem(); break;
    case 21: m.SavePos(name); break;
    case 22: m.RestorePos(name); break;
    case 23: m.FindChildElemAttrib(name, u"id", arg & 1 ? value : nullptr); break;
    case 24: m.FindElemAttrib(name, u"id", arg & 1 ? value : nullptr); break;
    case 25: m.RewriteChildren(m.RemovalFlags(arg), {}, CString::FromUtf8(script.Bytes(arg % 64))); break;
    default: {
        // Reads must never go out of the text.
        (void)m.GetTagName();
        (void)m.GetChildTagName();
        (void)m.GetAttrib(name);
        (void)m.GetChildAttrib(name);
        (void)m.GetAttribName(arg % 4);
        (void)m.GetData();
        (void)m.GetChildData();
        (void)m.GetSubDoc();
        (void)m.GetChildSubDoc();
        (void)m.GetDataDateTimeSpan();
        (void)m.GetChildDataDouble();
        break;
    }
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    size_t docLength = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    FuzzMarkup m;
    m.SetDoc(CString::FromUtf8(std::string(reinterpret_cast<const char*>(data + 2), docLength)));
    m.CheckIndex();
    Script script(data + 2 + docLength, size - 2 - docLength);
    for (int step = 0; step < 32 && !script.AtEnd(); ++step) {
        RunStep(m, script);
        m.CheckIndex();
    }
    // What the edits left must parse back into an index just as valid.
    FuzzMarkup again;
    again.SetDoc(m.GetDoc());
    again.CheckIndex();
    return 0;
}
