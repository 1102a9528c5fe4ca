#pragma once
// ISO 8601 texts of dates and times for files other programs read (CSV): the same whatever
// the user's locale, and sorting as text in date order.
#include "biz/BizExport.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"

class QUILLMAR_BIZ_EXPORT CIsoDateTime {
public:
    CIsoDateTime() = delete;

    // "2004-03-07"; "" for a date that is not valid.
    static CString Date(const COleDateTime& date);
    // "14:05:00"; "" for a value that is not valid.
    static CString Time(const COleDateTime& time);
    // "2004-03"; "" for a date that is not valid.
    static CString Month(const COleDateTime& date);
};
