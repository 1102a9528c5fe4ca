#pragma once
// How much a data file holds and when it was last changed, read from the file itself, so that a
// user about to replace one side's data with the other's can see what each side has.
#include <optional>

#include "biz/BizExport.h"
#include "platform/CString.h"
#include "platform/OleDateTime.h"

struct QUILLMAR_BIZ_EXPORT CDataFileSummary {
    int clients = 0;
    int projects = 0;
    int categories = 0;
    int entries = 0;
    // The latest "modified" time of its records; none when it holds no dated record.
    std::optional<COleDateTime> lastChanged;

    int Records() const { return clients + projects + categories + entries; }

    // Nothing when the file cannot be read as a data file.
    static std::optional<CDataFileSummary> Read(const CString& path);
};
