#include "biz/IsoDateTime.h"

namespace {
bool IsValid(const COleDateTime& value) { return value.GetStatus() == COleDateTime::valid; }
}   // namespace

CString CIsoDateTime::Date(const COleDateTime& date) {
    if (!IsValid(date))
        return CString();
    return CString::Formatted(u"%04d-%02d-%02d", date.GetYear(), date.GetMonth(), date.GetDay());
}

CString CIsoDateTime::Time(const COleDateTime& time) {
    if (!IsValid(time))
        return CString();
    return CString::Formatted(u"%02d:%02d:%02d", time.GetHour(), time.GetMinute(), time.GetSecond());
}

CString CIsoDateTime::Month(const COleDateTime& date) {
    if (!IsValid(date))
        return CString();
    return CString::Formatted(u"%04d-%02d", date.GetYear(), date.GetMonth());
}
