// Stands in for the device program in the randomized synchronisation test: a separate process
// that loads the device's data file once and keeps its document in memory, as the program
// does, and saves records when told to, while synchronisations commit into the same file.
// Reads one command per line on standard input and answers one line:
//   add client DESC | add project CLIENTREF DESC | add entry PROJECTREF DESC   -> "ok REFID"
//   edit KIND REFID DESC | delete KIND REFID                                   -> "ok" / "missing"
//   reload (as on the synchronisation's message)                               -> "ok"
// Anything that could not be saved answers "fail". The data folder is QUILLMAR_DATA_DIR.
#include <iostream>
#include <sstream>
#include <string>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "platform/MessageBox.h"

namespace {

int AnswerYes(const CString&, const CString&, unsigned flags) {
    return (flags & 0xF) == MB_OKCANCEL || (flags & 0xF) == MB_OK ? IDOK : IDYES;
}

template <typename Record>
std::string Add(const std::string& parent, const std::string& description) {
    Record record;
    record.set_Description(CString::FromUtf8(description));
    if constexpr (std::is_same_v<Record, CProject>)
        record.set_ClientRef(CString::FromUtf8(parent));
    if constexpr (std::is_same_v<Record, CProjectItem>)
        record.set_ProjectRef(CString::FromUtf8(parent));
    return record.Save() ? "ok " + record.get_RefID().ToUtf8() : "fail";
}

template <typename Record>
std::string Change(const std::string& refId, const std::string* description) {
    Record record;
    record.set_ID(GetCurrDataHelper()->RefID_To_ID(CString::FromUtf8(refId), record.get_ElemName()));
    if (record.get_ID() == 0 || !record.Load())
        return "missing";
    if (!description)
        return record.Delete() ? "ok" : "fail";
    record.set_Description(CString::FromUtf8(*description));
    return record.Save() ? "ok" : "fail";
}

std::string ChangeOfKind(const std::string& kind, const std::string& refId, const std::string* description) {
    if (kind == "client")
        return Change<CClient>(refId, description);
    if (kind == "project")
        return Change<CProject>(refId, description);
    return Change<CProjectItem>(refId, description);
}

std::string Run(const std::string& line) {
    std::istringstream words(line);
    std::string verb, kind, first, second;
    words >> verb >> kind >> first >> second;
    if (verb == "reload")
        return GetCurrDataHelper()->Initialize() ? "ok" : "fail";
    if (verb == "add" && kind == "client")
        return Add<CClient>(std::string(), first);
    if (verb == "add" && kind == "project")
        return Add<CProject>(first, second);
    if (verb == "add" && kind == "entry")
        return Add<CProjectItem>(first, second);
    if (verb == "edit")
        return ChangeOfKind(kind, first, &second);
    if (verb == "delete")
        return ChangeOfKind(kind, first, nullptr);
    return "fail";
}

}   // namespace

int main() {
    SetMessageBoxHandler(AnswerYes);
    CDataHelper* store = GetCurrDataHelper();
    if (!store || !store->Initialize()) {
        std::cout << "fail" << std::endl;
        return 1;
    }
    std::cout << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line))
        std::cout << Run(line) << std::endl;
    return 0;
}
