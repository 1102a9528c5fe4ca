// libFuzzer target: the input is the other side's change file, committed into a data file of
// every kind of record. Whether the commit succeeds or not, the store must pass CheckStore, and
// a commit that reports success has removed the change files.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/SyncHelper.h"
#include "biz/fuzz/StoreFuzzSupport.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"

namespace {

std::string g_baseDataFile;

// A client with a project and two entries, a category, and a deletion marker, with fixed RefIDs
// the fuzzer can meet ("C1", "P1", "E1", "E2", "K1", "X1").
void MakeBaseDataFile() {
    StoreFuzz::Check(StoreFuzz::Store().Initialize() == 1, "no base data file");
    CClient client;
    client.set_RefID(u"C1");
    client.set_Description(u"Client");
    CProject project;
    project.set_RefID(u"P1");
    project.set_ClientRef(u"C1");
    CCategory category;
    category.set_RefID(u"K1");
    category.set_Quillmar(50.0f);
    CProjectItem first;
    first.set_RefID(u"E1");
    first.set_ProjectRef(u"P1");
    CProjectItem second;
    second.set_RefID(u"E2");
    second.set_ProjectRef(u"P1");
    second.set_ItemType(CProjectItem::ItemType_Mileage);
    CClient gone;
    gone.set_RefID(u"X1");
    // The deletion asks first; here the answer is yes.
    const MessageBoxHandler counting =
        SetMessageBoxHandler([](const CString&, const CString&, unsigned) { return IDOK; });
    StoreFuzz::Check(client.Save() && project.Save() && category.Save() && first.Save() && second.Save() &&
                         gone.Save() && gone.Delete(),
                     "base records not saved");
    SetMessageBoxHandler(counting);
    StoreFuzz::Check(ReadWholeFile(StoreFuzz::DataFilePath(), g_baseDataFile), "base data file not read");
}

}   // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StoreFuzz::SetUpProcess();
    MakeBaseDataFile();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StoreFuzz::EmptyDataFolder();
    StoreFuzz::WriteFileBytes(StoreFuzz::DataFilePath(), reinterpret_cast<const uint8_t*>(g_baseDataFile.data()),
                              g_baseDataFile.size());
    CDataHelper& store = StoreFuzz::Store();
    StoreFuzz::Check(store.Initialize() == 1, "base data file did not load");
    StoreFuzz::WriteFileBytes(store.GetOtherChangeFilePath().ToUtf8(), data, size);
    const int committed = CSyncHelper().CommitRemoteChanges();
    StoreFuzz::Check(store.GetSyncPhase() == CSyncHelper::SyncPhase_None, "left in a change document");
    if (committed)
        StoreFuzz::Check(::access(store.GetOtherChangeFilePath().ToUtf8().c_str(), F_OK) != 0,
                         "committed change file not removed");
    StoreFuzz::CheckStore();
    return 0;
}
