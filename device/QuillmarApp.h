#pragma once
// The device program's application object: the user's settings (loaded once at start-up,
// written back when Options changes them), the dialog font, the resource library and the
// main frame. One instance lives for the whole process; GetQuillmarApp() reaches it.
#include <memory>

#include <QFont>
#include <QSize>

#include "platform/CString.h"
#include "ui/shared/SharedSettings.h"

class CMainFrame;
class Library;
class QObject;
class CDeviceHost;
class CSingleInstance;
class CSoftKeyboard;

class CQuillmarApp : public CSharedSettings {
public:
    // Settings take their defaults, the program's string table is registered, the resource
    // library is loaded, the dialog font is made, the device look of the dialogs is installed on
    // the running QApplication and the program's host of the shared dialogs is installed.
    CQuillmarApp();
    ~CQuillmarApp();
    CQuillmarApp(const CQuillmarApp&) = delete;
    CQuillmarApp& operator=(const CQuillmarApp&) = delete;

    // Loads the settings, makes and shows the main window. False when another instance runs
    // (its window was asked to come forward) or the device build of the business library did
    // not start (its data store did not open).
    bool InitInstance();
    // Whether InitInstance found another instance running.
    bool FoundOtherInstance() const { return m_bOtherInstance; }
    void ExitInstance();

    // Settings ("Settings" section): the shared ones (there is no theme on the device), and
    // whether the on-screen keyboard is wanted with a hardware keyboard too.
    static constexpr const char16_t* kSoftKeyboardValue = u"SoftKeyboard";
    int m_bSoftKeyboard = 0;

    // Reads every setting; missing ones keep their defaults, "MileageRate" is taken only when
    // it holds exactly the four bytes of a float.
    void LoadSettings();
    // Writes the settings Options shows, in the order the device always wrote them:
    // FirstDayOfWeek, HideClientsWithNoProjects, MileageRate, ColorAltRows,
    // StrikeOutPaidItems, Gridlines, CustomLabel1..3; then SoftKeyboard. False when a write failed.
    bool SaveOptionsSettings() const;

    const QFont& GetDialogFont() const { return m_dialogFont; }
    // The handheld's font is 11 pixels high on its 240 x 320 screen; on a larger window the
    // font grows with it. True when the font changed (and the application's font with it).
    bool FitFontToWindow(const QSize& windowSize);
    static constexpr int kBaseFontPixels = 11;
    const Library* GetResourceLibrary() const { return m_resLibrary.get(); }
    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }

    // The main window's title, which the sync library looks the window up by.
    static CString GetWindowTitle() { return CString(u"Quillmar"); }

private:
    void RestoreDefaults();
    void ShowMainWindow();

    QFont m_dialogFont;
    std::shared_ptr<Library> m_resLibrary;
    std::unique_ptr<QObject> m_dialogLook;
    // What the shared dialogs ask the program for; installed while this object lives.
    std::unique_ptr<CDeviceHost> m_host;
    std::unique_ptr<CSingleInstance> m_instance;
    std::unique_ptr<CSoftKeyboard> m_softKeyboard;
    bool m_bOtherInstance = false;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};

// The one application object of the process (nullptr before it is made or after it ended).
CQuillmarApp* GetQuillmarApp();
