#include "biz/EntryAmounts.h"

#include <memory>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "platform/ObArray.h"

namespace {

// 1/60 in single precision, as the amount has always been computed with it.
constexpr float kMinutesToHours = 0.016666668f;

}   // namespace

float TimeEntryAmount(int minutes, float hourlyRate) {
#ifdef QUILLMAR_DEVICE_BUILD
    // The handheld forms every product in single precision.
    return static_cast<float>(minutes) * kMinutesToHours * hourlyRate;
#else
    const long double amount = static_cast<long double>(minutes) * static_cast<long double>(kMinutesToHours) *
                               static_cast<long double>(hourlyRate);
    return static_cast<float>(amount);
#endif
}

float MileageEntryAmount(int odometerStart, int odometerEnd, float rate) {
    return static_cast<float>(odometerEnd - odometerStart) * rate;
}

float TimeEntryAmountForCategory(int minutes, const CString& categoryRef) {
    CDataHelper* store = GetCurrDataHelper();
    if (minutes == 0 || categoryRef.IsEmpty() || !store)
        return 0.0f;
    // Looked up among the categories themselves: a deletion marker keeps the RefID of the
    // category it replaced and must not lend it a rate.
    std::unique_ptr<CObArray> categories(store->GetObjectList(u"category"));
    for (int i = 0; i < categories->GetSize(); ++i) {
        const auto* category = static_cast<const CCategory*>(categories->GetAt(i));
        if (category->get_RefID() == categoryRef)
            return TimeEntryAmount(minutes, category->get_Quillmar());
    }
    return 0.0f;
}
