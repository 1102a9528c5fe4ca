#include "device/tests/DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "device/DeviceDialogLook.h"
#include "device/MainFrame.h"
#include "device/QuillmarApp.h"
#include "device/ViewByDate.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "ui/qt/Dialog.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/PopupMenu.h"

void ResetDeviceData() {
    CDataHelper* store = GetCurrDataHelper();
    ASSERT_NE(store, nullptr);
    std::error_code ignored;
    std::filesystem::remove(store->GetDataFilePath().ToUtf8(), ignored);
    ASSERT_EQ(store->Initialize(), 1);
    Registry::DeleteValue(CQuillmarApp::kSettingsKey, u"PeriodType");
    for (const char16_t* list :
         {CViewByDate::kSortColumnSetting, CViewByDate::kSortAscendingSetting, CViewByDate::kColumnsSetting})
        Registry::DeleteValue(CQuillmarApp::kSettingsKey, list);
    Registry::DeleteValue(CQuillmarApp::kSettingsKey, u"LastSuccessfulSync");
}

std::string DataFileContents() {
    std::string bytes;
    ReadWholeFile(GetCurrDataHelper()->GetDataFilePath().ToUtf8(), bytes);
    return bytes;
}

RunningDevice::RunningDevice() : m_app(std::make_unique<CQuillmarApp>()) {
    EXPECT_TRUE(m_app->InitInstance());
    QApplication::processEvents();
}

RunningDevice::~RunningDevice() = default;

CMainFrame& RunningDevice::Frame() { return *m_app->GetMainFrame(); }

CViewByDate& RunningDevice::View() { return *m_app->GetMainFrame()->GetView(); }

DialogScript::DialogScript(std::vector<Step> steps) : m_steps(steps.begin(), steps.end()) {
    m_previous = SetModalDialogHandler([this](QDialog& dialog) {
        ++m_shown;
        if (m_steps.empty()) {
            ADD_FAILURE() << "unexpected dialog " << dialog.windowTitle().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        return step(dialog);
    });
}

DialogScript::~DialogScript() {
    EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " scripted dialogs were not shown";
    SetModalDialogHandler(std::move(m_previous));
}

MessageBoxScript::MessageBoxScript(std::vector<int> answers) : m_answers(answers.begin(), answers.end()) {
    m_previous = SetMessageBoxHandler([this](const CString& text, const CString&, unsigned flags) {
        m_shown.push_back({text, flags});
        if (m_answers.empty())
            return DefaultMessageBoxAnswer(flags);
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

MessageBoxScript::~MessageBoxScript() { SetMessageBoxHandler(std::move(m_previous)); }

PopupScript::PopupScript(std::vector<QString> picks) : m_picks(picks.begin(), picks.end()) {
    SetPopupMenuHandler([this](QMenu& menu, const QPoint&) -> QAction* {
        ++m_shown;
        m_last.clear();
        m_lastTexts.clear();
        QAction* chosen = nullptr;
        const QString pick = m_picks.empty() ? QString() : m_picks.front();
        if (!m_picks.empty())
            m_picks.pop_front();
        for (QAction* action : menu.actions()) {
            if (action->isSeparator())
                continue;
            m_last.emplace_back(action->objectName(), action->isEnabled());
            m_lastTexts << action->text();
            if (!pick.isEmpty() && action->objectName() == pick)
                chosen = action;
        }
        return chosen;
    });
}

PopupScript::~PopupScript() { SetPopupMenuHandler(nullptr); }

bool PopupScript::WasEnabled(const QString& objectName) const {
    for (const auto& [name, enabled] : m_last) {
        if (name == objectName)
            return enabled;
    }
    return false;
}

int PressSheetOk(QDialog& dialog) {
    auto* sheet = dynamic_cast<CPropertySheetEx*>(&dialog);
    EXPECT_NE(sheet, nullptr);
    if (!sheet || !sheet->PressOK())
        return QDialog::Rejected;
    return sheet->result();
}

std::vector<int> ListedEntryIds(const CListCtrlEx& list) {
    std::vector<int> ids;
    for (int row = 0; row < list.topLevelItemCount(); ++row)
        ids.push_back(std::abs(list.GetRowValue(row)));
    return ids;
}

int RowOfEntry(const CListCtrlEx& list, int id) {
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (std::abs(list.GetRowValue(row)) == id)
            return row;
    }
    return -1;
}

QPoint EntryRowCentre(CListCtrlEx& list, int id) {
    const int row = RowOfEntry(list, id);
    EXPECT_GE(row, 0) << "entry " << id << " is not listed";
    return row < 0 ? QPoint() : list.visualItemRect(list.topLevelItem(row)).center();
}

void TapHeader(CListCtrlEx& list, int column) {
    QHeaderView* header = list.header();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

int PressDialogOk(QDialog& dialog) {
    auto* cdialog = dynamic_cast<CDialog*>(&dialog);
    EXPECT_NE(cdialog, nullptr);
    if (!cdialog)
        return QDialog::Rejected;
    cdialog->OnOK();
    return cdialog->result();
}

int Cancel(QDialog&) { return QDialog::Rejected; }

int AddClient(const CString& name) {
    CClient client;
    client.set_Description(name);
    EXPECT_TRUE(client.Save());
    return client.get_ID();
}

int AddProject(const CString& name, const CString& clientRef) {
    CProject project;
    project.set_Description(name);
    project.set_ClientRef(clientRef);
    EXPECT_TRUE(project.Save());
    return project.get_ID();
}

int AddCategory(const CString& name, const CString& code, float rate) {
    CCategory category;
    category.set_Description(name);
    category.set_Code(code);
    category.set_Quillmar(rate);
    EXPECT_TRUE(category.Save());
    return category.get_ID();
}

int AddTimeEntry(const COleDateTime& date, const CString& projectRef, int minutes, float amount, int paymentStatus) {
    CProjectItem entry;
    entry.set_ItemType(CProjectItem::ItemType_Time);
    entry.set_ItemDate(date);
    entry.set_ProjectRef(projectRef);
    entry.set_DurationInMinutes(minutes);
    entry.set_BillAmount(amount);
    entry.set_PymtStatus(static_cast<CProjectItem::PymtStatus>(paymentStatus));
    EXPECT_TRUE(entry.Save());
    return entry.get_ID();
}

CString RefIdOf(int id, const CString& elemName) { return GetCurrDataHelper()->ID_To_RefID(id, elemName); }

void MaybeScreenshot(QWidget& widget, const char* name) {
    if (std::getenv("QUILLMAR_SCREENSHOTS") == nullptr)
        return;
    QDir().mkpath(QStringLiteral("/tmp/quillmar-device-shots"));
    ApplyDeviceLook(&widget);
    widget.show();
    QApplication::processEvents();
    widget.grab().save(QStringLiteral("/tmp/quillmar-device-shots/%1.png").arg(QLatin1String(name)));
}

QString Text(const CString& text) { return qtconv::ToQString(text); }

void PrintTo(const CString& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }
