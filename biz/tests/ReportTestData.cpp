#include "biz/tests/ReportTestData.h"

#include <gtest/gtest.h>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"

namespace {

CString SaveClient(const char* name, const char* address) {
    CClient client;
    client.set_Description(CString(name));
    client.set_Address(CString(address));
    EXPECT_EQ(client.Save(), 1);
    return client.get_RefID();
}

CString SaveProject(const char* name, const CString& clientRef) {
    CProject project;
    project.set_Description(CString(name));
    project.set_ClientRef(clientRef);
    EXPECT_EQ(project.Save(), 1);
    return project.get_RefID();
}

CString SaveCategory(const char* name, const char* code) {
    CCategory category;
    category.set_Description(CString(name));
    category.set_Code(CString(code));
    EXPECT_EQ(category.Save(), 1);
    return category.get_RefID();
}

}   // namespace

COleDateTime March(int day) { return COleDateTime(2004, 3, day, 0, 0, 0); }

CString SaveTimeEntry(const CString& projectRef, const CString& categoryRef, const COleDateTime& date, int minutes,
                      float amount, int billable, CProjectItem::PymtStatus status) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Time);
    entry.set_ProjectRef(projectRef);
    entry.set_CategoryRef(categoryRef);
    entry.set_ItemDate(date);
    entry.set_DurationInMinutes(minutes);
    entry.set_BillAmount(amount);
    entry.set_IsBillable(billable);
    entry.set_PymtStatus(status);
    entry.set_Description(u"Work");
    EXPECT_EQ(entry.Save(), 1);
    return entry.get_RefID();
}

CString SaveOtherEntry(CProjectItem::ItemType type, const CString& projectRef, const COleDateTime& date, float amount,
                       int billable, CProjectItem::PymtStatus status, int odometerStart, int odometerEnd) {
    CProjectItem entry;
    entry.set_ItemType(type);
    entry.set_ProjectRef(projectRef);
    entry.set_ItemDate(date);
    entry.set_BillAmount(amount);
    entry.set_IsBillable(billable);
    entry.set_PymtStatus(status);
    entry.set_OdometerStart(odometerStart);
    entry.set_OdometerEnd(odometerEnd);
    if (type == CProjectItem::ItemType_Expense)
        entry.set_Description2(u"Parts");
    else
        entry.set_Description(u"Drive");
    EXPECT_EQ(entry.Save(), 1);
    return entry.get_RefID();
}

CProjectItem LoadEntry(const CString& refId) {
    CProjectItem entry;
    entry.set_ID(GetCurrDataHelper()->RefID_To_ID(refId, u"projectItem"));
    entry.Load();
    return entry;
}

ReportTestData ReportTestData::Create() {
    using Item = CProjectItem;
    ReportTestData d;
    d.acme = SaveClient("Acme", "1 Main Road\nSpringfield");
    d.bolt = SaveClient("Bolt", "");
    d.website = SaveProject("Website", d.acme);
    d.audit = SaveProject("Audit", d.acme);
    d.repair = SaveProject("Repair", d.bolt);
    d.loose = SaveProject("Loose", CString());
    d.design = SaveCategory("Design", "DES");
    d.support = SaveCategory("Support", "SUP");
    d.entry[1] = SaveTimeEntry(d.website, d.design, March(1), 90, 75.0f);
    d.entry[2] = SaveTimeEntry(d.website, d.support, March(2), 30, 49.99f, 1, Item::PymtStatus_Paid);
    d.entry[3] = SaveTimeEntry(d.audit, d.design, March(8), 45, 37.5f, 0);
    d.entry[4] = SaveOtherEntry(Item::ItemType_Expense, d.audit, March(9), 120.1f, 1, Item::PymtStatus_Billed);
    d.entry[5] =
        SaveOtherEntry(Item::ItemType_Mileage, d.repair, March(15), 14.7f, 1, Item::PymtStatus_NotBilled, 1000, 1042);
    d.entry[6] = SaveOtherEntry(Item::ItemType_Expense, d.repair, March(31), -5.0f);
    d.entry[7] = SaveTimeEntry(d.loose, CString(), COleDateTime(2004, 4, 1, 0, 0, 0), 60, 10.0f);
    d.entry[8] = SaveTimeEntry(d.repair, d.support, COleDateTime(2004, 2, 29, 0, 0, 0), 15, 5.0f);
    return d;
}
