#pragma once
// CMarkupArchive: the markup document with a mode word, an optional element-name prefix
// (namespace), lookup of elements by attribute value, and typed readers and writers.
// Numbers are written with "%u", "%d" and "%g" (floats in the shortest text that reads back to the
// same float when "%g" would lose digits); readers scan a leading number and give 0,
// false, an invalid date or a zero span when the text is missing or not a number.
#include "platform/OleDateTime.h"
#include "xml/Markup.h"
#include "xml/XmlExport.h"

class QUILLMAR_XML_EXPORT CMarkupArchive : public CMarkup {
public:
    // Mode flags; they are only stored and reported.
    enum ModeFlags : unsigned long {
        ArchiveModeStoring = 1,        // storing rather than loading
        ArchiveModeCreate = 2,         // create mode
        ArchiveModeMustFindName = 4,   // must-find-name mode
        ArchiveModeNotZipping = 8,     // IsZipping() reports false when set
    };

    explicit CMarkupArchive(unsigned long mode = ArchiveModeStoring | ArchiveModeCreate);
    CMarkupArchive(const CMarkupArchive& other) = default;
    CMarkupArchive& operator=(const CMarkupArchive& other) = default;
    ~CMarkupArchive() override;

    bool IsOpen() const { return m_bOpen; }
    bool IsStoring() const { return (m_nMode & ArchiveModeStoring) != 0; }
    bool IsLoading() const { return !IsStoring(); }
    bool IsZipping() const { return (m_nMode & ArchiveModeNotZipping) == 0; }
    bool IsCreateMode() const { return (m_nMode & ArchiveModeCreate) != 0; }
    bool IsMustFindNameMode() const { return (m_nMode & ArchiveModeMustFindName) != 0; }
    void SetModeFlag(unsigned long mode) { m_nMode = mode; }

    void SetEncodingString(TextArg encoding);
    const CString& GetEncodingString() const { return m_strEncoding; }
    bool SetNameSpace(TextArg nameSpace);   // always true; "" removes the prefix
    CString GetNameSpace() const;           // without the trailing ':'
    // Loads markup from text (switches to loading); false for a null text or a parse error.
    bool OpenString(TextArg text);

    // Element names get the namespace prefix; attribute names never do.
    virtual bool AddElem(TextArg name, TextArg value = nullptr);
    virtual bool AddChildElem(TextArg name, TextArg value = nullptr);
    virtual bool FindElem(TextArg name = nullptr);
    virtual bool FindChildElem(TextArg name = nullptr);

    // With a value: the first candidate whose attribute equals it, whatever its tag name.
    // Without: the first candidate named namespace + element whose attribute is non-empty.
    // FindElemAttrib moves the main position (siblings after it, or from the root);
    // FindChildElemAttrib moves the child position (children after it).
    bool FindElemAttrib(TextArg elemName, TextArg attribName, TextArg attribValue = nullptr);
    bool FindChildElemAttrib(TextArg elemName, TextArg attribName, TextArg attribValue = nullptr);

    // A float's stored text: "%g" when that reads back to the same float ("85.5", "0.35"),
    // otherwise the shortest text that does ("12345.67" rather than "12345.7").
    static CString FloatText(float value);

    // Typed writers: "true"/"false", "%u", "%d", "%g" (floats as FloatText).
    bool AddElemEx(TextArg name, bool value);
    bool AddElemEx(TextArg name, unsigned int value);
    bool AddElemEx(TextArg name, unsigned long value);
    bool AddElemEx(TextArg name, int value);
    bool AddElemEx(TextArg name, long value);
    bool AddElemEx(TextArg name, float value);
    bool AddElemEx(TextArg name, double value);
    bool AddChildElemEx(TextArg name, bool value);
    bool AddChildElemEx(TextArg name, unsigned int value);
    bool AddChildElemEx(TextArg name, unsigned long value);
    bool AddChildElemEx(TextArg name, int value);
    bool AddChildElemEx(TextArg name, long value);
    bool AddChildElemEx(TextArg name, float value);
    bool AddChildElemEx(TextArg name, double value);
    bool AddAttribEx(TextArg name, bool value);
    bool AddAttribEx(TextArg name, unsigned int value);
    bool AddAttribEx(TextArg name, unsigned long value);
    bool AddAttribEx(TextArg name, int value);
    bool AddAttribEx(TextArg name, long value);
    bool AddAttribEx(TextArg name, float value);
    bool AddAttribEx(TextArg name, double value);
    bool AddChildAttribEx(TextArg name, bool value);
    bool AddChildAttribEx(TextArg name, unsigned int value);
    bool AddChildAttribEx(TextArg name, unsigned long value);
    bool AddChildAttribEx(TextArg name, int value);
    bool AddChildAttribEx(TextArg name, long value);
    bool AddChildAttribEx(TextArg name, float value);
    bool AddChildAttribEx(TextArg name, double value);

    // Typed readers of the main element's data.
    bool GetDataBool() const;
    int GetDataInt() const;
    unsigned int GetDataUINT() const;
    unsigned long GetDataDWORD() const;
    float GetDataFloat() const;
    double GetDataDouble() const;
    COleDateTime GetDataDateTime() const;
    COleDateTimeSpan GetDataDateTimeSpan() const;   // "days,hours:minutes:seconds"

    // Typed readers of the child element's data.
    bool GetChildDataBool() const;
    int GetChildDataInt() const;
    long GetChildDataLong() const;
    unsigned int GetChildDataUINT() const;
    unsigned long GetChildDataDWORD() const;
    float GetChildDataFloat() const;
    double GetChildDataDouble() const;
    COleDateTime GetChildDataDateTime() const;
    COleDateTimeSpan GetChildDataDateTimeSpan() const;

    // Typed readers of attributes of the main / child element.
    bool GetAttribBool(TextArg name) const;
    int GetAttribInt(TextArg name) const;
    unsigned int GetAttribUINT(TextArg name) const;
    unsigned long GetAttribDWORD(TextArg name) const;
    float GetAttribFloat(TextArg name) const;
    double GetAttribDouble(TextArg name) const;
    COleDateTime GetAttribDateTime(TextArg name) const;
    bool GetChildAttribBool(TextArg name) const;
    int GetChildAttribInt(TextArg name) const;
    unsigned int GetChildAttribUINT(TextArg name) const;
    unsigned long GetChildAttribDWORD(TextArg name) const;
    float GetChildAttribFloat(TextArg name) const;
    double GetChildAttribDouble(TextArg name) const;
    COleDateTime GetChildAttribDateTime(TextArg name) const;

    // ResetPos, FindElem(name), then read the main element's data. Only the root can be found.
    // The out value is written only when the element was found.
    bool FindGetData(TextArg name, CString& value);
    bool FindGetData(TextArg name, bool& value);
    bool FindGetData(TextArg name, int& value);
    bool FindGetData(TextArg name, unsigned int& value);
    bool FindGetData(TextArg name, unsigned long& value);
    bool FindGetData(TextArg name, float& value);
    bool FindGetData(TextArg name, double& value);
    bool FindGetData(TextArg name, COleDateTime& value);
    bool FindGetData(TextArg name, COleDateTimeSpan& value);

    // ResetChildPos, FindChildElem(name), then read the child's data: each field is found by
    // a fresh search from the first child.
    bool FindGetChildData(TextArg name, CString& value);
    bool FindGetChildData(TextArg name, bool& value);
    bool FindGetChildData(TextArg name, int& value);
    bool FindGetChildData(TextArg name, long& value);
    bool FindGetChildData(TextArg name, unsigned int& value);
    bool FindGetChildData(TextArg name, unsigned long& value);
    bool FindGetChildData(TextArg name, float& value);
    bool FindGetChildData(TextArg name, double& value);

protected:
    CString x_PrefixedName(TextArg name) const;
    bool x_MatchesByAttrib(int iPos, std::u16string_view tagName, TextArg attribName, TextArg attribValue) const;
    template <typename Value, typename Reader>
    bool x_FindGetData(TextArg name, Value& value, Reader read);
    template <typename Value, typename Reader>
    bool x_FindGetChildData(TextArg name, Value& value, Reader read);

    unsigned long m_nMode;
    CString m_strEncoding;
    bool m_bOpen = false;
    CString m_strFileName;
    CString m_strNameSpace;   // with its trailing ':' when set
    CString m_strValue;       // numbers are formatted here before they are written
};
