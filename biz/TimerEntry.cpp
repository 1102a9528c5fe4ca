#include "biz/TimerEntry.h"

#include "biz/Amount.h"
#include "biz/EntryAmounts.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"

namespace {

COleDateTime TimeOfDay(const COleDateTime& moment) {
    COleDateTime time;
    time.SetTime(moment.GetHour(), moment.GetMinute(), moment.GetSecond());
    return time;
}

}   // namespace

int CTimerEntry::MinutesOf(int64_t runTicks) {
    if (runTicks <= 0)
        return 0;
    return static_cast<int>((runTicks + kTimerTicksPerSecond / 2) / kTimerTicksPerMinute);
}

void CTimerEntry::Fill(CProjectItem& entry, const CTimerState& state) {
    const int minutes = MinutesOf(state.RunTicks(state.stoppedAt.utc));
    entry.set_RefID(state.entryRefId);
    entry.set_ItemType(CProjectItem::ItemType_Time);
    entry.set_ProjectRef(state.projectRef);
    entry.set_CategoryRef(state.categoryRef);
    entry.set_Description(state.description);
    entry.set_ItemDate(GetDatePortion(state.firstStart.local));
    entry.set_StartTime(TimeOfDay(state.firstStart.local));
    entry.set_EndTime(TimeOfDay(state.stoppedAt.local));
    entry.set_DurationInMinutes(minutes);
    // Money to the cent, as the editor's Calc. gives it: the float product carries noise
    // (80.0000032) that the stored text would otherwise keep.
    entry.set_BillAmount(CAmount::FromFloat(TimeEntryAmountForCategory(minutes, state.categoryRef)).ToFloat());
    entry.set_IsBillable(1);
    entry.set_PymtStatus(CProjectItem::PymtStatus_NotBilled);
}
