// The Remote API's answers without a device: arguments refused, calls failing with
// Windows-style results, and a connection attempt that reports its failure through the event.
#include <gtest/gtest.h>

#include "connection/Pairing.h"
#include "connection/Rapi.h"
#include "testing/TempHome.h"

namespace {

class RapiWithoutDevice : public ::testing::Test {
protected:
    void TearDown() override { CeRapiUninit(); }
    TempHome home;
};

}   // namespace

TEST_F(RapiWithoutDevice, InitRecordOfWrongSizeIsRefused) {
    RAPIINIT init;
    init.cbSize = 7;
    EXPECT_EQ(CeRapiInitEx(&init), E_INVALIDARG);
    EXPECT_EQ(CeRapiInitEx(nullptr), E_INVALIDARG);
}

TEST_F(RapiWithoutDevice, NoPairingSignalsAFailure) {
    RAPIINIT init;
    init.cbSize = kRapiInitSize;
    ASSERT_GE(CeRapiInitEx(&init), 0);
    ASSERT_NE(init.heRapiInit, nullptr);
    EXPECT_EQ(WaitForSingleObject(init.heRapiInit, 15000), WAIT_OBJECT_0);
    EXPECT_TRUE(FAILED(init.hrRapiInit));
    EXPECT_FALSE(CeRapiGetErrorMessage().empty());
}

TEST_F(RapiWithoutDevice, NoServiceSignalsAFailure) {
    Pairing pairing;
    pairing.host = "127.0.0.1";
    pairing.port = 9;   // discard: nothing listens there in a test environment
    ASSERT_TRUE(Pairing::Store(pairing).ok());
    RAPIINIT init;
    init.cbSize = sizeof(RAPIINIT);
    ASSERT_GE(CeRapiInitEx(&init), 0);
    EXPECT_EQ(WaitForSingleObject(init.heRapiInit, 15000), WAIT_OBJECT_0);
    EXPECT_TRUE(FAILED(init.hrRapiInit));
    EXPECT_TRUE(FAILED(CeRapiGetError()));
}

TEST_F(RapiWithoutDevice, EventIsGoneAfterUninit) {
    RAPIINIT init;
    init.cbSize = kRapiInitSize;
    ASSERT_GE(CeRapiInitEx(&init), 0);
    HANDLE event = init.heRapiInit;
    CeRapiUninit();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST_F(RapiWithoutDevice, CallsFailWithWindowsResults) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(CeRegOpenKeyEx(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &key),
              static_cast<LONG>(ERROR_NOT_CONNECTED));
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(CeRegCloseKey(reinterpret_cast<HKEY>(0x20001)), static_cast<LONG>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CeCreateFile(u"Quillmar.dat", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeGetLastError(), ERROR_NOT_CONNECTED);
    DWORD done = 5;
    char buffer[4];
    EXPECT_FALSE(CeReadFile(INVALID_HANDLE_VALUE, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(CeGetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CeWriteFile(INVALID_HANDLE_VALUE, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(CeGetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
    EXPECT_FALSE(CeCloseHandle(INVALID_HANDLE_VALUE));
}

TEST_F(RapiWithoutDevice, InvokeRefusesStreamModeAndFailsUnconnected) {
    DWORD size = 9;
    BYTE* output = reinterpret_cast<BYTE*>(&size);
    IRAPIStream* stream = nullptr;
    EXPECT_EQ(CeRapiInvoke(u"Sync.dll", u"GetDeviceSideSyncID", 0, nullptr, &size, &output, &stream, 0), E_INVALIDARG);
    EXPECT_EQ(output, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(FAILED(CeRapiInvoke(u"Sync.dll", u"GetDeviceSideSyncID", 0, nullptr, &size, &output, nullptr, 0)));
    EXPECT_EQ(output, nullptr);
}
