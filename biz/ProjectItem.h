#pragma once
// One entry of billable work: a time, mileage or expense entry on a date, against a project
// and optionally a billing category.
#include "biz/BaseObject.h"
#include "biz/BizExport.h"

class QUILLMAR_BIZ_EXPORT CProjectItem : public CBaseObject {
public:
    enum ItemType : int {
        ItemType_Time = 1,      // duration in minutes, start and end time
        ItemType_Mileage = 2,   // odometer at start and end
        ItemType_Expense = 3,   // nothing beyond the common fields
    };
    enum PymtStatus : int {
        PymtStatus_NotBilled = 0,
        PymtStatus_Billed = 1,
        PymtStatus_Paid = 2,
    };

    // A billable, not billed time entry dated now, from the current full hour for 60 minutes.
    CProjectItem();
    // The same, taking `now` as the current local time (lists build many entries at once).
    explicit CProjectItem(const COleDateTime& now);

    int Save() override;
    // Asks first (resource text 21, Yes/No).
    int Delete() override;

    CString get_ProjectRef() const { return m_ProjectRef; }
    void set_ProjectRef(const CString& refId) { SetField(m_ProjectRef, refId); }
    CString get_CategoryRef() const { return m_CategoryRef; }
    void set_CategoryRef(const CString& refId) { SetField(m_CategoryRef, refId); }
    CString get_Description2() const { return m_Description2; }
    void set_Description2(const CString& text) { SetField(m_Description2, text); }
    ItemType get_ItemType() const { return m_ItemType; }
    void set_ItemType(ItemType type) { SetField(m_ItemType, type); }
    PymtStatus get_PymtStatus() const { return m_PymtStatus; }
    void set_PymtStatus(PymtStatus status) { SetField(m_PymtStatus, status); }
    int get_IsBillable() const { return m_IsBillable; }
    void set_IsBillable(int billable) { SetField(m_IsBillable, billable); }
    float get_BillAmount() const { return m_BillAmount; }
    void set_BillAmount(float amount) { SetField(m_BillAmount, amount); }
    CString get_Custom1() const { return m_Custom1; }
    void set_Custom1(const CString& text) { SetField(m_Custom1, text); }
    CString get_Custom2() const { return m_Custom2; }
    void set_Custom2(const CString& text) { SetField(m_Custom2, text); }
    CString get_Custom3() const { return m_Custom3; }
    void set_Custom3(const CString& text) { SetField(m_Custom3, text); }
    COleDateTime get_ItemDate() const { return m_ItemDate; }
    void set_ItemDate(const COleDateTime& date) { SetField(m_ItemDate, date); }
    // Times of day on the zero date (30 December 1899).
    COleDateTime get_StartTime() const { return m_StartTime; }
    void set_StartTime(const COleDateTime& time) { SetField(m_StartTime, time); }
    COleDateTime get_EndTime() const { return m_EndTime; }
    void set_EndTime(const COleDateTime& time) { SetField(m_EndTime, time); }
    int get_DurationInMinutes() const { return m_DurationInMinutes; }
    void set_DurationInMinutes(int minutes) { SetField(m_DurationInMinutes, minutes); }
    int get_OdometerStart() const { return m_OdometerStart; }
    void set_OdometerStart(int reading) { SetField(m_OdometerStart, reading); }
    int get_OdometerEnd() const { return m_OdometerEnd; }
    void set_OdometerEnd(int reading) { SetField(m_OdometerEnd, reading); }
    // Set by the entry filter for the views; never stored and never marks dirty.
    int get_FilteredFromView() const { return m_FilteredFromView; }
    void set_FilteredFromView(int filtered) { m_FilteredFromView = filtered; }

    // The RefID of the client of the entry's project; "" when the project does not load.
    CString get_ClientRef() const;
    // What lists show: for an expense "Description2: Description" (Description2 alone when
    // the Description is empty); the Description for the other types.
    CString get_DescriptionEx() const;

protected:
    void ReadRecord(const CRecordReader& reader) override;

private:
    CString m_ProjectRef;
    CString m_CategoryRef;
    CString m_Description2;
    ItemType m_ItemType = ItemType_Time;
    PymtStatus m_PymtStatus = PymtStatus_NotBilled;
    int m_IsBillable = 1;
    float m_BillAmount = 0.0f;
    CString m_Custom1;
    CString m_Custom2;
    CString m_Custom3;
    COleDateTime m_ItemDate;
    COleDateTime m_StartTime;
    COleDateTime m_EndTime;
    int m_DurationInMinutes = 60;
    int m_OdometerStart = 0;
    int m_OdometerEnd = 0;
    int m_FilteredFromView = 0;
};
