#pragma once
// The business library's application object: one per process, made when the library is
// loaded. It loads the resource library QuillmarRes and owns the process's data store.
//
// Device build: loading the library also initialises the data store. A shared library's
// start-up cannot make dlopen fail on Linux, so the outcome is kept and reported by
// QuillmarBizDeviceLoaded(); whoever loads the device build (the Sync library, the device
// program) must call it right after loading and treat 0 as "the library did not load".
#include <memory>

class CDataHelper;
class Library;

class CQuillmarBizApp {
public:
    CQuillmarBizApp();
    ~CQuillmarBizApp();
    CQuillmarBizApp(const CQuillmarBizApp&) = delete;
    CQuillmarBizApp& operator=(const CQuillmarBizApp&) = delete;

    // The loaded library's object; nullptr before its construction and after its destruction.
    static CQuillmarBizApp* Instance();
    // The resource library; nullptr when it did not load.
    static const Library* ResourceLibrary();

    CDataHelper* DataHelper() const { return m_dataHelper.get(); }
    // False only in the device build, when the data store could not be initialised.
    bool StartedUp() const { return m_startedUp; }

private:
    std::shared_ptr<Library> m_resourceLibrary;
    std::unique_ptr<CDataHelper> m_dataHelper;
    bool m_startedUp = true;
};

#ifdef QUILLMAR_DEVICE_BUILD
extern "C" {
// 1 when the device build's start-up initialised the data store, 0 when it failed (the
// library must then be treated as not loaded).
int QuillmarBizDeviceLoaded();
}
#endif
