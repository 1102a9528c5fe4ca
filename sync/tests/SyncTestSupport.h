#pragma once
// What the synchronisation tests share: a temporary machine (HOME, XDG folders, a desktop data
// folder, a device HOME whose "AppPath" folder holds copies of the device libraries), a set
// clock, confirmations answered yes, the device's exports called in a child process as the
// connection service calls them, and comparison of two data files record by record.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "biz/DataHelper.h"
#include "platform/CString.h"
#include "testing/ScriptedMessageBox.h"
#include "testing/SettableClock.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

// The records of a data or change file by kind and RefID, each as text without its local "id"
// and its "modified" time; "deleted" markers counted apart.
struct FileSnapshot {
    bool loaded = false;
    std::map<std::pair<std::string, std::string>, std::string> records;
    std::vector<std::pair<std::string, std::string>> markers;   // kind, RefID
    std::map<std::string, std::string> metaData;
    std::map<std::pair<std::string, std::string>, int> ids;   // local IDs
};
FileSnapshot ReadFileSnapshot(const std::string& path);

bool CopyFileOver(const std::string& from, const std::string& to);

struct ExportCall {
    bool ran = false;   // the host loaded the library and called the export
    uint32_t status = 0xFFFFFFFFu;
    std::string answer;      // the answer bytes
    std::string errorText;   // what the host printed when it could not run
};

class SyncTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The process's data store (desktop build), on the desktop data folder after SetUp.
    CDataHelper& Store();
    const std::string& DesktopFolder() const { return m_desktopFolder; }
    const std::string& DeviceFolder() const { return m_deviceFolder; }
    const std::string& DeviceHome() const { return m_deviceHome; }
    std::string DesktopDataFile() const { return m_desktopFolder + "/Quillmar.dat"; }
    std::string DeviceDataFile() const { return m_deviceFolder + "/Quillmar.dat"; }

    // Points the process's data store at another folder's data file (made when missing).
    void UseDataFolder(const std::string& folder);
    // Runs `edit` on the device's data file through the process's data store, then returns it
    // to the desktop's.
    void OnDevice(const std::function<void()>& edit);

    // Calls a Sync export in a child process with the device's HOME, at the test clock's time.
    ExportCall CallDevice(const std::string& exportName, const std::string& deviceHome = "");
    void ExpectDeviceCallSucceeds(const std::string& exportName);
    // Sets or removes the device's "AppPath" (in the registry below `home`).
    void SetDeviceAppPath(const std::string& home, const std::optional<std::string>& folder);
    // A device HOME with its own "AppPath" folder holding the device libraries.
    std::string MakeDeviceHome(const std::string& name);

    // The two copies of the desktop's ExchangeChangeFiles: "desktop.xml" to the device as
    // "Desktop.xml", "Device.xml" from the device as "device.xml"; a missing file is not copied.
    void ExchangeChangeFiles();
    // One regular synchronisation in the order the desktop drives it; every step must succeed.
    void Synchronise();
    // The desktop data file copied over the device's, as a full synchronisation towards the device does.
    void FullSyncToDevice();
    // Both data files hold the same records with the same content, no markers, no change files.
    void ExpectConverged();

    void Advance(double seconds = 60) const;
    std::string ExportsLibrary(const std::string& deviceFolder) const { return deviceFolder + "/libSync.so"; }

    TempHome m_user{"quillmar-sync"};
    SettableClock m_clock{COleDateTime(2026, 3, 2, 9, 0, 0)};
    ScriptedMessageBox m_boxes{ScriptedMessageBox::Unscripted::Confirm};
    std::string m_root;
    std::string m_desktopFolder;
    std::string m_deviceHome;
    std::string m_deviceFolder;
    std::string m_runtimeFolder;
};

// Saves a record through its own Save and expects success.
template <typename Record>
Record SaveNew(const std::function<void(Record&)>& fill) {
    Record record;
    fill(record);
    EXPECT_EQ(record.Save(), 1);
    return record;
}

// A new record with `description`, filled further by `fill`, saved; its RefID.
template <typename Record>
CString Add(const char16_t* description, const std::function<void(Record&)>& fill = nullptr) {
    Record record;
    record.set_Description(description);
    if (fill)
        fill(record);
    EXPECT_EQ(record.Save(), 1);
    return record.get_RefID();
}

// The stored record with `refId`, loaded from the current data store.
template <typename Record>
Record Loaded(const CString& refId) {
    Record record;
    record.set_ID(GetCurrDataHelper()->RefID_To_ID(refId, record.get_ElemName()));
    EXPECT_EQ(record.Load(), 1) << refId.ToUtf8();
    return record;
}

// Loads the record with `refId`, lets `change` edit it and saves it.
template <typename Record>
void Edit(const CString& refId, const std::function<void(Record&)>& change) {
    Record record;
    record.set_ID(GetCurrDataHelper()->RefID_To_ID(refId, record.get_ElemName()));
    ASSERT_EQ(record.Load(), 1) << refId.ToUtf8();
    change(record);
    ASSERT_EQ(record.Save(), 1);
}

// Deletes the record with `refId` (the confirmation is answered by the test's message boxes).
template <typename Record>
void Remove(const CString& refId) {
    Record record;
    record.set_ID(GetCurrDataHelper()->RefID_To_ID(refId, record.get_ElemName()));
    ASSERT_EQ(record.Delete(), 1) << refId.ToUtf8();
}

// A record's key in a FileSnapshot.
inline std::pair<std::string, std::string> Key(const char* kind, const CString& refId) {
    return {kind, refId.ToUtf8()};
}
