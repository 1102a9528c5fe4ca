#include "biz/ProjectItem.h"

#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/FieldLimits.h"
#include "biz/Project.h"
#include "biz/RecordReader.h"
#include "platform/MessageBox.h"
#include "xml/MarkupArchive.h"

namespace {

const CString& ElemNameOfKind() {
    static const CString name(u"projectItem");
    return name;
}

}   // namespace

CProjectItem::CProjectItem() : CProjectItem(COleDateTime::GetCurrentTime()) {}

CProjectItem::CProjectItem(const COleDateTime& now) : CBaseObject(ElemNameOfKind()) {
    m_ItemDate = now;
    m_StartTime.SetTime(m_ItemDate.GetHour(), 0, 0);
    m_EndTime = m_StartTime + COleDateTimeSpan(0, 1, 0, 0);
}

int CProjectItem::Save() {
    CMarkupArchive* document = WriteCommonPart();
    if (!document)
        return 0;
    if (!m_ProjectRef.IsEmpty())
        document->SetChildAttrib(u"projectRef", m_ProjectRef);
    if (!m_CategoryRef.IsEmpty())
        document->SetChildAttrib(u"categoryRef", m_CategoryRef);
    document->IntoElem();
    document->AddChildElem(u"itemDate", CDateTimeFormatter::FormatDateForDB(m_ItemDate));
    document->AddChildElemEx(u"itemType", static_cast<int>(m_ItemType));
    document->AddChildElemEx(u"pymtStatus", static_cast<int>(m_PymtStatus));
    if (!m_IsBillable)
        document->AddChildElem(u"isBillable", u"0");
    if (m_BillAmount != 0)
        document->AddChildElemEx(u"billAmount", m_BillAmount);
    if (m_ItemType == ItemType_Time) {
        document->AddChildElemEx(u"duration", m_DurationInMinutes);
        document->AddChildElem(u"startTime", CDateTimeFormatter::FormatTimeForDB(m_StartTime));
        document->AddChildElem(u"endTime", CDateTimeFormatter::FormatTimeForDB(m_EndTime));
    } else if (m_ItemType == ItemType_Mileage) {
        document->AddChildElemEx(u"odometerStart", m_OdometerStart);
        document->AddChildElemEx(u"odometerEnd", m_OdometerEnd);
    }
    AddChildIfNotEmpty(*document, u"description2", m_Description2);
    AddChildIfNotEmpty(*document, u"custom1", m_Custom1);
    AddChildIfNotEmpty(*document, u"custom2", m_Custom2);
    AddChildIfNotEmpty(*document, u"custom3", m_Custom3);
    document->OutOfElem();
    return FinishSave();
}

int CProjectItem::Delete() {
    if (!ConfirmDeletion(21, MB_YESNO | MB_ICONQUESTION, IDYES))
        return 0;
    return CBaseObject::Delete();
}

void CProjectItem::ReadRecord(const CRecordReader& reader) {
    CBaseObject::ReadRecord(reader);
    // Fields come in within what the programs can show and total (see CFieldLimits).
    int number = 0;
    if (reader.Int(u"itemType", number))
        m_ItemType = static_cast<ItemType>(CFieldLimits::ItemType(number));
    m_ProjectRef = reader.Attrib(u"projectRef");
    m_CategoryRef = reader.Attrib(u"categoryRef");
    if (reader.Int(u"isBillable", number))
        m_IsBillable = CFieldLimits::Billable(number);
    if (reader.Float(u"billAmount", m_BillAmount))
        m_BillAmount = CFieldLimits::Amount(m_BillAmount);
    reader.Text(u"description2", m_Description2);
    reader.Text(u"custom1", m_Custom1);
    reader.Text(u"custom2", m_Custom2);
    reader.Text(u"custom3", m_Custom3);
    reader.DateTime(u"itemDate", m_ItemDate);
    if (m_ItemType == ItemType_Time) {
        if (reader.Int(u"duration", m_DurationInMinutes))
            m_DurationInMinutes = CFieldLimits::DurationMinutes(m_DurationInMinutes);
        reader.DateTime(u"startTime", m_StartTime);
        reader.DateTime(u"endTime", m_EndTime);
    } else if (m_ItemType == ItemType_Mileage) {
        if (reader.Int(u"odometerStart", m_OdometerStart))
            m_OdometerStart = CFieldLimits::Odometer(m_OdometerStart);
        if (reader.Int(u"odometerEnd", m_OdometerEnd))
            m_OdometerEnd = CFieldLimits::Odometer(m_OdometerEnd);
    }
    if (reader.Int(u"pymtStatus", number))
        m_PymtStatus = static_cast<PymtStatus>(CFieldLimits::PymtStatus(number));
}

CString CProjectItem::get_ClientRef() const {
    CDataHelper* store = GetCurrDataHelper();
    if (m_ProjectRef.IsEmpty() || !store)
        return CString();
    CProject project;
    project.set_ID(store->RefID_To_ID(m_ProjectRef, u"project"));
    return project.Load() ? project.get_ClientRef() : CString();
}

CString CProjectItem::get_DescriptionEx() const {
    if (m_ItemType != ItemType_Expense)
        return get_Description();
    if (get_Description().IsEmpty())
        return m_Description2;
    return m_Description2 + u": " + get_Description();
}
