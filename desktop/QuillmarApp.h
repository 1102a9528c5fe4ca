#pragma once
// The desktop program's application object: start-up, the user's settings (loaded once,
// written back whenever they change), the UI font, the resource library and the bar layout.
// One instance lives for the whole process; GetQuillmarApp() reaches it.
#include <cstdint>
#include <memory>
#include <string>

#include <QFont>
#include <QString>

#include "desktop/export/ExcelCellFormats.h"
#include "platform/CString.h"
#include "ui/qt/SingleInstance.h"
#include "ui/shared/SharedSettings.h"

class Library;
class CMainFrame;
class CWindowMessageNotifier;
class CDesktopHost;

class CQuillmarApp : public CSharedSettings {
public:
    // Registry places, relative to HKEY_CURRENT_USER, besides the shared kAppKey and kSettingsKey.
    static const CString kCompanyKey;     // "Software\\Kestovar"
    static const CString kExcelFmtsKey;   // kAppKey + "\\ExcelFmts"
    static const CString kLayoutKey;      // kAppKey + "\\ProfUIS222"

    enum Theme { ThemeOffice2003 = 0, ThemeOfficeXP = 1, ThemeOffice2000 = 2 };

    // Settings take their defaults, the resource library is loaded, the UI font made and the
    // program's host of the shared dialogs installed.
    CQuillmarApp();
    ~CQuillmarApp();
    CQuillmarApp(const CQuillmarApp&) = delete;
    CQuillmarApp& operator=(const CQuillmarApp&) = delete;

    // Start-up in the documented order. False when the program must end (second instance,
    // data store that does not open); nothing is shown then by this object.
    bool InitInstance();
    // Frees the main frame, the resource library and the instance lock.
    void ExitInstance();

    // Settings ("Settings" section): the shared ones and the theme.
    int m_nTheme = ThemeOffice2003;

    // Spreadsheet cell formats ("ExcelFmts" section).
    CString m_strExcelFmtCurrency;   // program string 57609
    CString m_strExcelFmtDate;       // 57610
    CString m_strExcelFmtTime;       // 57611
    CString m_strExcelFmtNumber;     // 57612
    CString m_strExcelFmtDuration;   // 57613

    // Layout of bars is written at exit only while this is set (cleared by Reset Layout).
    bool m_bSaveLayout = false;

    // Reads every "Settings" and "ExcelFmts" value, missing ones keeping their defaults.
    void LoadSettings();
    // Writes every "Settings" value except "PeriodType" (changed or not). False when the
    // registry file could not be written.
    bool SaveSettings() const;
    bool SaveExcelFormats() const;
    // The spreadsheet cell formats as the export takes them, and the keeping of those the user
    // confirmed there: copied into the settings above and written to "ExcelFmts".
    ExcelCellFormats GetExcelFormats() const;
    void KeepExcelFormats(const ExcelCellFormats& formats);
    // After the settings changed in memory: writes them, applies the theme and refreshes
    // the side bar and the entries view. The Options sheet calls it on OK.
    void ApplyChangedSettings();

    // Options command (154) and Reset Layout (186).
    void OnToolsOptions();
    void OnViewResetLayout();

    const QFont& GetUIFont() const { return m_uiFont; }
    const Library* GetResourceLibrary() const { return m_resLibrary.get(); }
    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }

    // "Kestovar Quillmar": program string 105 up to its first line break.
    static CString GetWindowTitle();
    // The window message that asks the first instance to restore and raise its window.
    static constexpr uint32_t kRestoreAndRaiseMessage = CSingleInstance::kRestoreAndRaiseMessage;
    // The lock file that marks the running instance of this user's desktop.
    static std::string InstanceLockPath();

private:
    bool ClaimSingleInstance();
    void RestoreDefaults();

    QFont m_uiFont;
    std::shared_ptr<Library> m_resLibrary;
    std::unique_ptr<CSingleInstance> m_instanceLock;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<CWindowMessageNotifier> m_windowMessages;
    // What the shared dialogs ask the program for; installed while this object lives.
    std::unique_ptr<CDesktopHost> m_host;
};

// The one application object of the process (nullptr before it is made or after it ended).
CQuillmarApp* GetQuillmarApp();
