#include "ui/shared/tests/UiTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "biz/Category.h"
#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"

DialogScript::DialogScript(std::vector<Step> steps) : m_steps(steps.begin(), steps.end()) {
    m_previous = SetModalDialogHandler([this](QDialog& dialog) {
        ++m_shown;
        if (m_steps.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        return step(dialog);
    });
}

DialogScript::~DialogScript() { SetModalDialogHandler(std::move(m_previous)); }

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

bool MessageBoxScript::ShownOnly(unsigned resourceId) const { return ShownOnlyText(GetResString(resourceId, 1)); }

bool MessageBoxScript::ShownOnlyText(const CString& text) const {
    return m_shown.size() == 1 && m_shown[0].text == text;
}

void ResetDataStore() {
    CDataHelper* store = GetCurrDataHelper();
    const std::string dir = std::getenv("QUILLMAR_DATA_DIR");
    std::filesystem::remove(std::filesystem::path(dir) / "Quillmar.dat");
    ASSERT_EQ(1, store->Initialize());
}

std::string DataFileContents() {
    std::ifstream in(GetCurrDataHelper()->GetDataFilePath().ToUtf8(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

CPropertySheetEx& AsSheet(QDialog& dialog) { return dynamic_cast<CPropertySheetEx&>(dialog); }

int PressSheetOk(QDialog& dialog) {
    AsSheet(dialog).PressOK();
    return dialog.result();
}

int PressSheetCancel(QDialog& dialog) {
    AsSheet(dialog).PressCancel();
    return dialog.result();
}

int AddCategory(const CString& name, const CString& code, float rate) {
    CCategory category;
    category.set_Description(name);
    category.set_Code(code);
    category.set_Quillmar(rate);
    EXPECT_EQ(1, category.Save());
    return category.get_ID();
}

int AddClient(const CString& name) {
    CClient client;
    client.set_Description(name);
    EXPECT_EQ(1, client.Save());
    return client.get_ID();
}

int AddProject(const CString& name, const CString& clientRef) {
    CProject project;
    project.set_Description(name);
    project.set_ClientRef(clientRef);
    EXPECT_EQ(1, project.Save());
    return project.get_ID();
}

int AddEntry(int itemType, const COleDateTime& date, int projectId, float amount, int paid) {
    CProjectItem entry;
    entry.set_ItemType(static_cast<CProjectItem::ItemType>(itemType));
    entry.set_Description(u"Work");
    entry.set_ItemDate(date);
    if (projectId != 0)
        entry.set_ProjectRef(RefIdOf(projectId, u"project"));
    entry.set_BillAmount(amount);
    if (paid)
        entry.set_PymtStatus(CProjectItem::PymtStatus_Paid);
    EXPECT_EQ(1, entry.Save());
    return entry.get_ID();
}

CString RefIdOf(int id, const CString& elemName) { return GetCurrDataHelper()->ID_To_RefID(id, elemName); }

void MaybeScreenshot(QWidget& widget, const char* name) {
    if (std::getenv("QUILLMAR_SCREENSHOTS") == nullptr)
        return;
    QDir().mkpath(QStringLiteral("/tmp/quillmar-dialogs"));
    widget.adjustSize();
    widget.grab().save(QStringLiteral("/tmp/quillmar-dialogs/%1.png").arg(QString::fromLatin1(name)));
}

QString Text(const CString& text) { return qtconv::ToQString(text); }

void PrintTo(const CString& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }
