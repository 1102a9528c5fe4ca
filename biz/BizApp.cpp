#include "biz/BizApp.h"

#include "biz/DataHelper.h"
#include "platform/Library.h"

namespace {

CQuillmarBizApp* g_app = nullptr;

}   // namespace

CQuillmarBizApp::CQuillmarBizApp()
    : m_resourceLibrary(Library::Load(u"QuillmarRes.dll")), m_dataHelper(std::make_unique<CDataHelper>()) {
#ifndef QUILLMAR_DEVICE_BUILD
    // The desktop program initialises its store itself, when its window opens.
    m_startedUp = true;
#endif
    g_app = this;
}

CQuillmarBizApp::~CQuillmarBizApp() { g_app = nullptr; }

CQuillmarBizApp* CQuillmarBizApp::Instance() {
    // Made on first use rather than as the library loads: loading must not touch the data file
    // (a program reads its arguments first), and by first use every other initializer has run.
    // After its destruction at exit the static is not made again and g_app stays null.
    static CQuillmarBizApp app;
    return g_app;
}

const Library* CQuillmarBizApp::ResourceLibrary() {
    CQuillmarBizApp* app = Instance();
    return app ? app->m_resourceLibrary.get() : nullptr;
}

#ifdef QUILLMAR_DEVICE_BUILD
bool CQuillmarBizApp::Start() {
    m_startedUp = m_dataHelper->Initialize() != 0;
    return m_startedUp;
}
#endif

CDataHelper* GetCurrDataHelper() {
    CQuillmarBizApp* app = CQuillmarBizApp::Instance();
    return app ? app->DataHelper() : nullptr;
}

#ifdef QUILLMAR_DEVICE_BUILD
int QuillmarBizDeviceStart() {
    CQuillmarBizApp* app = CQuillmarBizApp::Instance();
    return app && app->Start() ? 1 : 0;
}

int QuillmarBizDeviceLoaded() { return g_app && g_app->StartedUp() ? 1 : 0; }
#endif
