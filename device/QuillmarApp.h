#pragma once
// The device program's application object: the user's settings (loaded once at start-up,
// written back when Options changes them), the dialog font, the resource library and the
// main frame. One instance lives for the whole process; GetQuillmarApp() reaches it.
#include <memory>

#include <QFont>

#include "platform/CString.h"
#include "ui/shared/SharedSettings.h"

class CMainFrame;
class Library;
class QObject;
class CDeviceHost;

class CQuillmarApp : public CSharedSettings {
public:
    // Settings take their defaults, the program's string table is registered, the resource
    // library is loaded, the dialog font is made, the device look of the dialogs is installed on
    // the running QApplication and the program's host of the shared dialogs is installed.
    CQuillmarApp();
    ~CQuillmarApp();
    CQuillmarApp(const CQuillmarApp&) = delete;
    CQuillmarApp& operator=(const CQuillmarApp&) = delete;

    // Loads the settings, makes and shows the main window. False when the device build of the
    // business library did not start (its data store did not open).
    bool InitInstance();
    void ExitInstance();

    // Settings ("Settings" section): only the shared ones; there is no theme on the device.

    // Reads every setting; missing ones keep their defaults, "MileageRate" is taken only when
    // it holds exactly the four bytes of a float.
    void LoadSettings();
    // Writes the settings Options shows, in the order the device always wrote them:
    // FirstDayOfWeek, HideClientsWithNoProjects, MileageRate, ColorAltRows,
    // StrikeOutPaidItems, Gridlines, CustomLabel1..3. False when a write failed.
    bool SaveOptionsSettings() const;

    const QFont& GetDialogFont() const { return m_dialogFont; }
    const Library* GetResourceLibrary() const { return m_resLibrary.get(); }
    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }

    // The main window's title, which the sync library looks the window up by.
    static CString GetWindowTitle() { return CString(u"Quillmar"); }

private:
    void RestoreDefaults();

    QFont m_dialogFont;
    std::shared_ptr<Library> m_resLibrary;
    std::unique_ptr<QObject> m_dialogLook;
    // What the shared dialogs ask the program for; installed while this object lives.
    std::unique_ptr<CDeviceHost> m_host;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};

// The one application object of the process (nullptr before it is made or after it ended).
CQuillmarApp* GetQuillmarApp();
