#pragma once
// The business library's application object: one per process, made the first time it is asked
// for, never while the library loads. It loads the resource library QuillmarRes and owns the
// process's data store.
//
// Device build: the data store starts only when whoever loaded the library calls
// QuillmarBizDeviceStart(): the device program once it has read its arguments, the Sync library
// at each of its entry points. Until a start has succeeded the library serves nothing.
#include <memory>

#include "biz/BizExport.h"

class CDataHelper;
class Library;

class QUILLMAR_BIZ_EXPORT CQuillmarBizApp {
public:
    ~CQuillmarBizApp();
    CQuillmarBizApp(const CQuillmarBizApp&) = delete;
    CQuillmarBizApp& operator=(const CQuillmarBizApp&) = delete;

    // The process's object, made on first use; nullptr once it has been destroyed at exit.
    static CQuillmarBizApp* Instance();
    // The resource library; nullptr when it did not load.
    static const Library* ResourceLibrary();

    CDataHelper* DataHelper() const { return m_dataHelper.get(); }
#ifdef QUILLMAR_DEVICE_BUILD
    // Initialises the data store in the "AppPath" folder (again, from the files as stored, when
    // called again); false when it could not be, and the library then serves nothing until a
    // later start succeeds.
    bool Start();
#endif
    // True in the desktop build; in the device build, whether the last Start() succeeded.
    bool StartedUp() const { return m_startedUp; }

private:
    CQuillmarBizApp();

    std::shared_ptr<Library> m_resourceLibrary;
    std::unique_ptr<CDataHelper> m_dataHelper;
    bool m_startedUp = false;
};

#ifdef QUILLMAR_DEVICE_BUILD
extern "C" {
// Starts the device's data store (CQuillmarBizApp::Start): 1 when it is ready, 0 when it is not
// (no "AppPath", a folder that cannot be written, a data file that cannot be made).
QUILLMAR_BIZ_EXPORT int QuillmarBizDeviceStart();
// 1 when the last QuillmarBizDeviceStart() succeeded, 0 before the first and after a failed one
// (the library then counts as not loaded).
QUILLMAR_BIZ_EXPORT int QuillmarBizDeviceLoaded();
}
#endif
