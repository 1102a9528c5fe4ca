#pragma once
// CMarkup: an XML document held as one UTF-16 text plus an index of element positions.
//
// Nothing but the text and the index is kept: reads decode on demand, edits splice the text and
// shift the index so no re-parse is needed. Navigation works with three positions:
//   parent - the element containing the current main element (0 = document level),
//   main   - the current element (0 = none),
//   child  - the current child of the main element (0 = none).
// Every operation reports its outcome as a bool or an empty text; nothing throws.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/CString.h"
#include "platform/WriteStatus.h"
#include "xml/XmlExport.h"

class QUILLMAR_XML_EXPORT CMarkup {
public:
    // A text argument that may be null, like the pointer arguments the callers were written
    // with: names tell null (no name) apart from empty. Borrowed, never owned: the text must
    // outlive the call, which a literal, a CString or a temporary of the call expression does.
    class TextArg {
    public:
        TextArg(std::nullptr_t) {}
        TextArg(const char16_t* text);
        TextArg(const CString& text) : m_text(text.GetString()), m_length(text.GetLength()) {}
        TextArg(const std::u16string& text) : m_text(text.c_str()), m_length(static_cast<int>(text.size())) {}

        bool IsNull() const { return m_text == nullptr; }
        bool IsEmpty() const { return m_length == 0; }
        int Length() const { return m_length; }
        // Never null; zero-terminated.
        const char16_t* Data() const { return m_text ? m_text : u""; }
        std::u16string_view View() const { return {Data(), static_cast<size_t>(m_length)}; }

    private:
        const char16_t* m_text = nullptr;
        int m_length = 0;
    };

    // One entry of the element index. Offsets are UTF-16 code units into the document text.
    struct ElementPosition {
        int32_t startTagOpen = 0;    // '<' of the start tag
        int32_t startTagClose = 0;   // '>' of the start tag
        int32_t endTagOpen = 0;      // '<' of the end tag; '/' of "<e/>"; scan offset while parsing
        int32_t endTagClose = 0;     // '>' of the end tag; == startTagClose for "<e/>"
        int32_t reserved = 0;        // always 0
        int32_t parent = 0;          // 0 = document level
        int32_t firstChild = 0;      // 0 = none
        int32_t nextSibling = 0;     // 0 = last child
        bool IsEmptyElement() const { return startTagClose == endTagOpen + 1; }
    };

    // The scanner's cursor.
    struct TokenPos {
        explicit TokenPos(const char16_t* scanned) : text(scanned) {}
        int left = 0;            // first character of the token
        int right = -1;          // last character; right < left means an empty token
        int next = 0;            // where scanning resumes
        const char16_t* text;    // zero-terminated document text
        bool isQuoted = false;   // left/right exclude the quotes
    };

    // Node kinds returned by x_ParseNode.
    enum NodeKind {
        MNT_NONE = 0,                      // end of text, an end tag, or an unfinished node
        MNT_ELEMENT = 1,                   // <name ...
        MNT_TEXT = 2,                      // character data up to the next '<'
        MNT_WHITESPACE = 4,                // only " \t\n\r" up to the next '<' or the end
        MNT_CDATA_SECTION = 8,             // <![CDATA[ ... ]]>
        MNT_PROCESSING_INSTRUCTION = 16,   // <? ... ?>
        MNT_COMMENT = 32,                  // <!-- ... -->
        MNT_DOCUMENT_TYPE = 64,            // <!DOCTYPE ... [ ... ]>
    };

    CMarkup();
    explicit CMarkup(TextArg doc);
    // Copies text, index and positions; not the error text nor the saved positions.
    CMarkup(const CMarkup& other);
    CMarkup& operator=(const CMarkup& other);
    virtual ~CMarkup();

    // Replaces the document and parses it; false (and no root) on a parse error or empty text.
    bool SetDoc(TextArg doc);
    // Reads a UTF-8 file and parses it. False when the file cannot be read (document untouched)
    // or does not parse.
    bool Load(const CString& path);
    // Writes the text as UTF-8, atomically: the old file stays whole when anything fails.
    bool Save(const CString& path);
    // Save, telling what happened: not written (the old file whole), written, or written but
    // not made durable (the flush of the folder failed after the new file took the old one's place).
    WriteStatus SaveFile(const CString& path);
    bool IsWellFormed() const;
    const CString& GetDoc() const { return m_strDoc; }
    const CString& GetError() const { return m_strError; }

    // Navigation. A false result leaves the positions as they were.
    bool FindElem(TextArg name = nullptr);
    bool FindChildElem(TextArg name = nullptr);
    bool IntoElem();
    bool OutOfElem();
    void ResetPos();
    void ResetMainPos();
    void ResetChildPos();
    // Saved positions last until the document is replaced; one whose element has since been
    // removed no longer restores (false).
    bool SavePos(TextArg name);
    bool RestorePos(TextArg name);

    // Reading; an empty text whenever the thing is absent.
    CString GetTagName() const { return x_GetTagName(m_iPos); }
    CString GetChildTagName() const { return x_GetTagName(m_iPosChild); }
    CString GetAttrib(TextArg name) const { return x_GetAttrib(m_iPos, name); }
    CString GetChildAttrib(TextArg name) const { return x_GetAttrib(m_iPosChild, name); }
    CString GetAttribName(int n) const;
    CString GetData() const { return x_GetData(m_iPos); }
    CString GetChildData() const { return x_GetData(m_iPosChild); }
    CString GetSubDoc() const { return x_GetSubDoc(m_iPos); }
    CString GetChildSubDoc() const { return x_GetSubDoc(m_iPosChild); }

    // Editing. A null or empty value adds an empty element "<name/>".
    bool AddElem(TextArg name, TextArg value = nullptr) { return x_AddElem(name, value, false, false); }
    bool InsertElem(TextArg name, TextArg value = nullptr) { return x_AddElem(name, value, true, false); }
    bool AddChildElem(TextArg name, TextArg value = nullptr) { return x_AddElem(name, value, false, true); }
    bool InsertChildElem(TextArg name, TextArg value = nullptr) { return x_AddElem(name, value, true, true); }
    bool AddSubDoc(TextArg subDoc) { return x_AddSubDoc(subDoc, false, false); }
    bool InsertSubDoc(TextArg subDoc) { return x_AddSubDoc(subDoc, true, false); }
    bool AddChildSubDoc(TextArg subDoc) { return x_AddSubDoc(subDoc, false, true); }
    bool InsertChildSubDoc(TextArg subDoc) { return x_AddSubDoc(subDoc, true, true); }
    bool SetAttrib(TextArg name, TextArg value) { return x_SetAttrib(m_iPos, name, value); }
    bool SetAttrib(TextArg name, int value) { return x_SetAttrib(m_iPos, name, value); }
    bool AddAttrib(TextArg name, TextArg value) { return x_SetAttrib(m_iPos, name, value); }
    bool AddAttrib(TextArg name, int value) { return x_SetAttrib(m_iPos, name, value); }
    bool SetChildAttrib(TextArg name, TextArg value) { return x_SetAttrib(m_iPosChild, name, value); }
    bool SetChildAttrib(TextArg name, int value) { return x_SetAttrib(m_iPosChild, name, value); }
    bool AddChildAttrib(TextArg name, TextArg value) { return x_SetAttrib(m_iPosChild, name, value); }
    bool AddChildAttrib(TextArg name, int value) { return x_SetAttrib(m_iPosChild, name, value); }
    // A non-zero cdata asks for a CDATA section (falls back to escaping when the text has "]]>").
    bool SetData(TextArg text, int cdata = 0) { return x_SetData(m_iPos, text, cdata); }
    bool SetChildData(TextArg text, int cdata = 0) { return x_SetData(m_iPosChild, text, cdata); }
    bool RemoveElem();
    bool RemoveChildElem();

    // Bulk edit of the main element's children, for many edits at once on a large document: one
    // pass over the text and over the index instead of a splice and an index shift per edit.
    // HasPlainChildren: the main element has an end tag and nothing but white space between its
    // start tag, its children and its end tag. For such an element RewriteChildren gives the text
    // that the same edits made one at a time give. `removed` holds one flag per child in document
    // order: a flagged child goes as RemoveChildElem removes it (with the white space after it).
    // `replaced` maps kept children (by ordinal) to the sub-document put in place of theirs
    // (GetChildSubDoc: the element and the white space after it). `appended` (sub-documents, each
    // ending in its line break) follows the last child, where AddChildSubDoc puts a sub-document.
    // Positions are reset and saved positions dropped, as after SetDoc. false, and nothing
    // changed, when the element is not plain, `removed` does not have one flag per child, a
    // replaced ordinal is out of range or removed, or the new text does not parse.
    bool HasPlainChildren() const;
    bool RewriteChildren(const std::vector<bool>& removed, const std::map<int, CString>& replaced, TextArg appended);

    // Element handles and the journal of the root's children, for an index kept beside a large
    // document. A handle names one element for as long as it stays in the document; edits
    // elsewhere keep it. SetDoc, Load, RewriteChildren and copying renumber every element (a new
    // generation).
    struct EditMark {
        uint64_t generation = 0;
        size_t edits = 0;     // journal length
        int nextHandle = 0;   // every element added later has a handle at or above this
    };
    EditMark GetEditMark() const { return {m_nGeneration, m_rootChildEdits.size(), m_iPosFree}; }
    // Adds to `handles` the root's children added, removed or changed inside since `mark` (in
    // the order of the edits, repeats possible). false when the document was renumbered (or
    // the journal, grown long, was cut) since, so that an index of it has to be read afresh.
    bool GetRootChildEditsSince(const EditMark& mark, std::vector<int>& handles) const;
    // The handle of the current child element; 0 when none.
    int GetChildHandle() const { return m_iPosChild; }
    // The handle of the main element; 0 when none.
    int GetElemHandle() const { return m_iPos; }
    // The element that stands just before the one removed next, as an index beside a large
    // document knows, so the list of siblings need not be walked to find it. Used once; a wrong
    // hint costs only that walk.
    void HintPreviousSibling(int handle) { m_previousSiblingHint = handle; }
    // The root's child elements by handle, in document order: the first (0 when none) and the
    // one after `handle` (0 at the end).
    int GetFirstRootChild() const;
    int GetNextSibling(int handle) const;
    // True when `handle` is a child of the root in the document as it stands.
    bool IsRootChild(int handle) const;
    // Makes the root's child `handle` the main position; false (positions unchanged) when it is
    // not one.
    bool IntoRootChild(int handle);
    // The main element's text as stored, from its start tag to its end tag; valid until the
    // next edit.
    std::u16string_view GetElemTextView() const;

    // A point the text can go back to, e.g. what its file holds, without keeping a copy of a
    // large document: from MarkCheckpoint on, each change keeps only the text it replaced.
    // RevertToCheckpoint puts the text back and parses it again (a new generation; false when it
    // does not parse, as SetDoc). IsAtCheckpoint: no change of the text since the checkpoint.
    // A copy starts without a checkpoint.
    void MarkCheckpoint();
    bool RevertToCheckpoint();
    bool IsAtCheckpoint() const { return m_checkpoint.armed && !m_checkpoint.whole && m_checkpoint.splices.empty(); }

protected:
    struct SavedPos {
        int parent = 0;
        int main = 0;
        int child = 0;
    };

    // Parsing and scanning (MarkupParse.cpp).
    int x_ParseElem(int iPosParent);   // new index, 0 at an end tag, -1 on error
    int x_ParseNode(TokenPos& token) const;
    static bool x_FindChar(const char16_t* text, int& offset, char16_t ch);
    static bool x_FindAny(const char16_t* text, int& offset);
    static bool x_FindToken(TokenPos& token);
    static CString x_GetToken(const TokenPos& token);
    int x_GetFreePos();
    int x_ReleasePos();
    int x_ParseError(const char16_t* format, const CString* argument = nullptr);

    // Reading (Markup.cpp).
    int x_FindElem(int iPosParent, int iPos, TextArg name) const;
    CString x_GetTagName(int iPos) const;
    std::u16string_view x_TagNameView(int iPos) const;   // valid until the next edit
    static bool x_MatchesName(const TokenPos& token, std::u16string_view name);
    bool x_FindAttrib(TokenPos& token, TextArg name) const;
    CString x_GetAttrib(int iPos, TextArg name) const;
    CString x_GetData(int iPos) const;
    CString x_GetSubDoc(int iPos) const;
    CString x_TextFromDoc(int left, int right) const;
    void x_SetPos(int iPosParent, int iPos, int iPosChild);

    // Editing (MarkupEdit.cpp).
    bool x_AddElem(TextArg name, TextArg value, bool insert, bool addChild);
    bool x_AddSubDoc(TextArg subDoc, bool insert, bool addChild);
    // flags: 1 = insert before rather than add after, 2 = keep the exact offset.
    int x_LocateNew(int iPosParent, int& iPosRel, int& offset, int length, int flags);
    bool x_SetAttrib(int iPos, TextArg name, TextArg value);
    bool x_SetAttrib(int iPos, TextArg name, int value);
    bool x_SetData(int iPos, TextArg text, int cdata);
    bool x_CreateNode(CString& node, int nodeKind, TextArg text);
    int x_RemoveElem(int iPos);   // the previous sibling, 0 when it was the first child
    static CString x_TextToDoc(TextArg text, bool attrib = false);
    void x_DocChange(int offset, int replaceLength, std::u16string_view insert);
    void x_Adjust(int iPos, int shift, bool afterPos = false);

    CString m_strDoc;
    CString m_strError;
    std::vector<ElementPosition> m_aPos;
    int m_iPosParent = 0;
    int m_iPos = 0;
    int m_iPosChild = 0;
    int m_iPosFree = 1;
    int m_nNodeType = 0;
    std::unordered_map<std::u16string, SavedPos> m_mapSavedPos;
    uint64_t m_nGeneration = 0;
    std::vector<int> m_rootChildEdits;

private:
    // The parent of a removed element, so stale saved positions can be recognised.
    static constexpr int kRemovedParent = -1;

    // How to undo one splice of the text.
    struct Splice {
        int offset = 0;
        int insertedLength = 0;
        std::u16string replaced;
    };
    struct Checkpoint {
        bool armed = false;
        // The text at the checkpoint, once the whole text was replaced since; splices after
        // that are not kept.
        std::optional<std::u16string> whole;
        std::vector<Splice> splices;
        size_t splicedUnits = 0;   // replaced text kept in `splices`
    };
    Checkpoint m_checkpoint;
    // The last child found by x_LastChild: records are added at the end of a long list of
    // siblings, and walking it each time costs more than the edit.
    struct LastChildHint {
        int parent = -1;
        int child = 0;
    };
    mutable LastChildHint m_lastChildHint;
    mutable int m_previousSiblingHint = 0;

    void x_NoteSplice(int offset, int replaceLength, int insertedLength);
    // Called before the whole text is replaced (SetDoc, Load, assignment, RewriteChildren).
    void x_NoteWholeChange();
    std::u16string x_CheckpointText() const;
    void x_UndoSplices(std::u16string& text) const;
    int x_PreviousSibling(int iPos) const;

    bool x_IsLive(int iPos) const;
    // Notes in the journal the root's child that holds `iPos` (or is it).
    void x_NoteEdit(int iPos);
    void x_NewGeneration();
    bool x_SetDocText(std::u16string&& text);
    bool x_ParseDoc();
    int x_ParseStartTag(int iPosParent);
    int x_ParseEndTag(int iPos, std::u16string_view tagName);
    int x_LastChild(int iPosParent) const;
    void x_LinkAfter(int iPosParent, int iPosBefore, int iPosNew);
    int x_SubDocEnd(int iPos) const;
    bool x_IsWhiteSpaceRun(int from, int to) const;
    int x_ChildCount(int iPosParent) const;
    // Where RewriteChildren put the children in the new text.
    struct ChildLayout {
        std::vector<int> newStart;   // per old child, document order
        int appendedStart = 0;
        int appendedEnd = 0;
        int shift = 0;   // change in length of the whole content
    };
    bool x_ReindexChildren(int iPosMain, const std::vector<bool>& removed, const std::map<int, CString>& replaced,
                           const ChildLayout& layout);
    // Parses the element starting at `offset` as a child of iPosParent (unlinked); true when
    // it starts there and ends before `limit`.
    bool x_ParseChildAt(int iPosParent, int offset, int limit, int& iPosNew);
    void x_ShiftSubtree(int iPosTop, int shift);
    void x_ResetPositions();
};
