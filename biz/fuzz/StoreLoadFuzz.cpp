// libFuzzer target: the input is a data file. The store starts on it (loading it, or keeping it
// aside and salvaging what it holds), then every list is read and a record saved (CheckStore).
#include <cstddef>
#include <cstdint>

#include "biz/DataHelper.h"
#include "biz/fuzz/StoreFuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StoreFuzz::SetUpProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StoreFuzz::EmptyDataFolder();
    StoreFuzz::WriteFileBytes(StoreFuzz::DataFilePath(), data, size);
    StoreFuzz::Check(StoreFuzz::Store().Initialize() == 1, "data store did not start");
    StoreFuzz::CheckStore();
    return 0;
}
