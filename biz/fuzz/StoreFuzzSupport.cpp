#include "biz/fuzz/StoreFuzzSupport.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/FieldLimits.h"
#include "biz/ProjectItem.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "xml/MarkupArchive.h"

namespace StoreFuzz {
namespace {

std::string g_folder;
int g_shownBoxes = 0;

std::vector<std::string> FolderNames() {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(g_folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

void CheckEntry(const CProjectItem& entry) {
    Check(entry.get_ItemType() == CFieldLimits::ItemType(entry.get_ItemType()), "entry type out of range");
    Check(entry.get_PymtStatus() == CFieldLimits::PymtStatus(entry.get_PymtStatus()), "billing status out of range");
    Check(entry.get_IsBillable() == 0 || entry.get_IsBillable() == 1, "billable flag out of range");
    Check(std::isfinite(entry.get_BillAmount()), "amount not finite");
    Check(entry.get_DurationInMinutes() >= 0, "negative duration");
    Check(entry.get_OdometerStart() >= 0 && entry.get_OdometerEnd() >= 0, "negative odometer");
}

// Lists every kind; the IDs of all records.
std::vector<int> ListEverything() {
    std::vector<int> ids;
    for (const char16_t* kind : {u"client", u"project", u"category", u"projectItem", u"deleted"}) {
        std::unique_ptr<CObArray> list(Store().GetObjectList(kind));
        Check(list != nullptr, "no list");
        for (int i = 0; i < list->GetSize(); ++i) {
            const auto* record = static_cast<const CBaseObject*>(list->GetAt(i));
            ids.push_back(record->get_ID());
            if (CString(kind) == u"projectItem")
                CheckEntry(*static_cast<const CProjectItem*>(record));
            if (CString(kind) == u"category") {
                const float rate = static_cast<const CCategory*>(record)->get_Quillmar();
                Check(std::isfinite(rate) && rate >= 0, "rate out of range");
            }
        }
    }
    return ids;
}

}   // namespace

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "store check failed: %s\n", what);
        std::abort();
    }
}

void SetUpProcess() {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/quillmar-store-fuzz-XXXXXX";
    Check(::mkdtemp(pattern.data()) != nullptr, "no temporary folder");
    g_folder = pattern + "/data";
    ::mkdir(g_folder.c_str(), 0700);
    ::setenv("HOME", pattern.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (pattern + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (pattern + "/share").c_str(), 1);
    ::setenv("QUILLMAR_DATA_DIR", g_folder.c_str(), 1);
    SetDiskSyncEnabled(false);
    SetMessageBoxHandler([](const CString&, const CString&, unsigned flags) {
        ++g_shownBoxes;
        return DefaultMessageBoxAnswer(flags);
    });
}

const std::string& DataFolder() { return g_folder; }

std::string DataFilePath() { return g_folder + "/Quillmar.dat"; }

void EmptyDataFolder() {
    for (const std::string& name : FolderNames())
        ::unlink((g_folder + "/" + name).c_str());
}

void WriteFileBytes(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "cannot write an input file");
    if (size > 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
}

int TakeShownBoxes() {
    const int shown = g_shownBoxes;
    g_shownBoxes = 0;
    return shown;
}

CDataHelper& Store() {
    CDataHelper* store = GetCurrDataHelper();
    Check(store != nullptr, "no data store");
    return *store;
}

void CheckStore() {
    // Memory is what the file holds.
    CMarkupArchive file;
    Check(file.Load(Store().GetDataFilePath()), "data file does not load");
    Check(file.GetDoc() == Store().GetCurrentDataStore()->GetDoc(), "memory differs from the data file");
    for (const std::string& name : FolderNames())
        Check(name.find(".tmp-") == std::string::npos, "temporary file left");

    const std::vector<int> ids = ListEverything();
    std::set<int> distinct(ids.begin(), ids.end());
    CClient client;
    client.set_Description(u"Added by the fuzzer");
    if (!client.Save()) {
        // Only a file whose IDs reach the largest int has none left to give.
        Check(!distinct.empty() && *distinct.rbegin() == INT_MAX, "new record not saved");
        return;
    }
    Check(client.get_ID() > 0 && distinct.count(client.get_ID()) == 0, "ID handed out twice");
    // Loaded again from the file, without salvage, the new record is found by its ID.
    TakeShownBoxes();
    Check(Store().Initialize() == 1, "saved file does not load");
    Check(TakeShownBoxes() == 0, "saved file was unreadable");
    CClient loaded;
    loaded.set_ID(client.get_ID());
    Check(loaded.Load() == 1 && loaded.get_Description() == client.get_Description(), "new record not found");
}

}   // namespace StoreFuzz
