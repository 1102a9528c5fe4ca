#include "biz/BizApp.h"

#include "biz/DataHelper.h"
#include "platform/Library.h"

namespace {

CQuillmarBizApp* g_app = nullptr;

}  // namespace

CQuillmarBizApp::CQuillmarBizApp()
    : m_resourceLibrary(Library::Load(u"QuillmarRes.dll")), m_dataHelper(std::make_unique<CDataHelper>()) {
    // Published before the start-up below: the sample records reach the store through
    // GetCurrDataHelper.
    g_app = this;
#ifdef QUILLMAR_DEVICE_BUILD
    m_startedUp = m_dataHelper->Initialize() != 0;
#endif
}

CQuillmarBizApp::~CQuillmarBizApp() {
    g_app = nullptr;
}

CQuillmarBizApp* CQuillmarBizApp::Instance() {
    return g_app;
}

const Library* CQuillmarBizApp::ResourceLibrary() {
    return g_app ? g_app->m_resourceLibrary.get() : nullptr;
}

CDataHelper* GetCurrDataHelper() {
    return g_app ? g_app->DataHelper() : nullptr;
}

#ifdef QUILLMAR_DEVICE_BUILD
int QuillmarBizDeviceLoaded() {
    return g_app && g_app->StartedUp() ? 1 : 0;
}
#endif

// The one application object. This file comes last in the library's sources, so every other
// initializer of the library (and of the platform library it links) has run before the
// device build's start-up uses them.
static CQuillmarBizApp theApp;
