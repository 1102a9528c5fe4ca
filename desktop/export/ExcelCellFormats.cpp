#include "desktop/export/ExcelCellFormats.h"

#include "platform/StringTable.h"

ExcelCellFormats ExcelCellFormats::Defaults() {
    return {StringTable::Get(57609), StringTable::Get(57610), StringTable::Get(57611), StringTable::Get(57612),
            StringTable::Get(57613)};
}
