#include "sync/e2e/DataSnapshot.h"

#include <regex>
#include <sstream>

#include "xml/Markup.h"

namespace {

std::string WithoutLocalParts(const std::string& element) {
    static const std::regex id(R"re( id="[^"]*")re");
    static const std::regex modified(R"re(<modified>[^<]*</modified>\r?\n?)re");
    return std::regex_replace(std::regex_replace(element, id, "", std::regex_constants::format_first_only), modified,
                              "");
}

std::string ChildText(const std::string& element, const std::string& name) {
    const std::regex child("<" + name + ">([^<]*)</" + name + ">");
    std::smatch match;
    return std::regex_search(element, match, child) ? match[1].str() : std::string();
}

}   // namespace

DataSnapshot DataSnapshot::Read(const std::string& path) {
    DataSnapshot snapshot;
    CMarkup document;
    if (!document.Load(CString(path)) || !document.FindElem())
        return snapshot;
    snapshot.loaded = true;
    while (document.FindChildElem()) {
        const std::string tag = document.GetChildTagName().ToUtf8();
        if (tag == "metaData") {
            document.IntoElem();
            while (document.FindChildElem())
                snapshot.metaData[document.GetChildTagName().ToUtf8()] = document.GetChildData().ToUtf8();
            document.OutOfElem();
            continue;
        }
        const std::string refId = document.GetChildAttrib(u"refId").ToUtf8();
        const std::string element = document.GetChildSubDoc().ToUtf8();
        if (tag == "deleted")
            snapshot.markers.emplace_back(ChildText(element, "description"), refId);
        else
            snapshot.records[{tag, refId}] = WithoutLocalParts(element);
    }
    return snapshot;
}

std::string DataSnapshot::Description(const std::string& kind, const std::string& refId) const {
    const auto found = records.find({kind, refId});
    return found == records.end() ? std::string() : ChildText(found->second, "description");
}

std::string DataSnapshot::RefIdOf(const std::string& kind, const std::string& description) const {
    for (const auto& [key, element] : records) {
        if (key.first == kind && ChildText(element, "description") == description)
            return key.second;
    }
    return "";
}

std::string DifferenceBetween(const DataSnapshot& desktop, const DataSnapshot& device) {
    std::ostringstream out;
    if (!desktop.loaded || !device.loaded)
        out << "a data file did not load (desktop " << desktop.loaded << ", device " << device.loaded << ")\n";
    for (const auto& [key, element] : desktop.records) {
        const auto other = device.records.find(key);
        if (other == device.records.end())
            out << "only on the desktop: " << key.first << " " << key.second << "\n";
        else if (other->second != element)
            out << "different: " << key.first << " " << key.second << "\n  desktop: " << element
                << "\n  device:  " << other->second << "\n";
    }
    for (const auto& [key, element] : device.records) {
        if (!desktop.records.count(key))
            out << "only on the device: " << key.first << " " << key.second << "\n";
    }
    return out.str();
}
