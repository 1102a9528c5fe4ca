#include "biz/Category.h"

#include "biz/FieldLimits.h"
#include "biz/RecordReader.h"
#include "platform/MessageBox.h"
#include "xml/MarkupArchive.h"

namespace {

const CString& ElemNameOfKind() {
    static const CString name(u"category");
    return name;
}

}   // namespace

CCategory::CCategory() : CBaseObject(ElemNameOfKind()) {}

int CCategory::Save() {
    CMarkupArchive* document = WriteCommonPart();
    if (!document)
        return 0;
    document->IntoElem();
    document->AddChildElem(u"code", m_Code);
    if (m_Quillmar > 0)
        document->AddChildElemEx(u"quillmar", m_Quillmar);
    document->OutOfElem();
    return FinishSave();
}

int CCategory::Delete() {
    if (!ConfirmDeletion(25, MB_YESNO | MB_ICONQUESTION, IDYES))
        return 0;
    return CBaseObject::Delete();
}

void CCategory::ReadRecord(const CRecordReader& reader) {
    CBaseObject::ReadRecord(reader);
    reader.Text(u"code", m_Code);
    if (reader.Float(u"quillmar", m_Quillmar))
        m_Quillmar = CFieldLimits::Rate(m_Quillmar);
}
