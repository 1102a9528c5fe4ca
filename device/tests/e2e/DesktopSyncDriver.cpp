// The desktop's half of the device program's end-to-end test, run as a process of its own
// with the desktop's HOME: pairs with the device, makes this desktop and the device partners
// (this data file replaces the device's), adds an expense entry of the given amount dated
// today and synchronises regularly, after which the device posts 1124 to its program.
//   QuillmarDesktopSyncDriver PAIRING-TEXT AMOUNT
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/SyncHelper.h"
#include "connection/Pairing.h"
#include "platform/OleDateTime.h"

namespace {

int Fail(const char* what, const CString& why = CString()) {
    std::fprintf(stderr, "desktop sync driver: %s %s\n", what, why.ToUtf8().c_str());
    return 1;
}

}   // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return Fail("usage: QuillmarDesktopSyncDriver PAIRING-TEXT AMOUNT");
    const RapiStatus paired = Pairing::StoreText(CString::FromUtf8(argv[1]));
    if (!paired.ok())
        return Fail("pairing:", CString::FromUtf8(paired.message()));
    if (GetCurrDataHelper() == nullptr || GetCurrDataHelper()->Initialize() != 1)
        return Fail("the desktop data store did not open");

    CSyncHelper full;
    if (full.Initialize() != 1 || full.PerformFullSync(1) != 1)
        return Fail("full synchronisation:", full.GetLastErrorText());

    // Entries are compared with "lastSync" by the second: the new one comes a second later.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Expense);
    entry.set_ItemDate(GetDatePortion(COleDateTime::GetCurrentTime()));
    entry.set_Description2(u"Parking");
    entry.set_BillAmount(static_cast<float>(std::atof(argv[2])));
    if (!entry.Save())
        return Fail("the new entry was not saved");

    CSyncHelper regular;
    if (regular.Initialize() != 1)
        return Fail("connecting:", regular.GetLastErrorText());
    if (regular.PerformRegularSync() != CSyncHelper::SyncResult_Done)
        return Fail("regular synchronisation:", regular.GetLastErrorText());
    return 0;
}
