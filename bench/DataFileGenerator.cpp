#include "bench/DataFileGenerator.h"

#include <cstdio>
#include <fstream>
#include <random>

namespace {

const char* const kWords[] = {"design",  "review",    "meeting",  "call",     "draft",    "report",   "travel",
                              "site",    "visit",     "fix",      "install",  "support",  "planning", "analysis",
                              "invoice", "follow-up", "training", "workshop", "estimate", "budget"};

class RecordWriter {
public:
    RecordWriter(std::string& out, unsigned seed) : m_out(out), m_rng(seed) {}

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_rng); }

    std::string Words(int minimum, int maximum) {
        std::string text;
        for (int i = minimum + Pick(maximum - minimum + 1); i > 0; --i) {
            if (!text.empty())
                text += ' ';
            text += kWords[Pick(20)];
        }
        return text;
    }

    static std::string RefId(int id) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%X%d", 0x4E2A9C00u + static_cast<unsigned>(id) * 7919u, id);
        return buffer;
    }

    std::string Date(int dayOffset) {
        int month = 1 + dayOffset % 12;
        int day = 1 + dayOffset % 28;
        int year = 2003 + dayOffset % 4;
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%d/%d/%d", month, day, year);
        return buffer;
    }

    std::string Time(int hour, int minute) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:00 %s", hour % 12 == 0 ? 12 : hour % 12, minute,
                      hour < 12 ? "AM" : "PM");
        return buffer;
    }

    void Child(const char* name, const std::string& value) {
        m_out += '<';
        m_out += name;
        m_out += '>';
        m_out += value;
        m_out += "</";
        m_out += name;
        m_out += ">\r\n";
    }

    void Open(const char* name, int id, const std::string& extraAttributes) {
        m_out += '<';
        m_out += name;
        m_out += " id=\"" + std::to_string(id) + "\" refId=\"" + RefId(id) + "\"" + extraAttributes + ">\r\n";
    }

    void Close(const char* name) {
        m_out += "</";
        m_out += name;
        m_out += ">\r\n";
    }

    void Common(int id, bool withNotes) {
        Child("description", Words(2, 5));
        if (withNotes)
            Child("notes", Words(12, 40));
        Child("modified", Date(id) + " " + Time(8 + id % 10, id % 60));
    }

private:
    std::string& m_out;
    std::mt19937 m_rng;
};

}   // namespace

int DataFileGenerator::EntryId(const Shape& shape, int n) {
    return shape.categories + shape.clients * (1 + shape.projectsPerClient) + n + 1;
}

std::string DataFileGenerator::Generate(const Shape& shape) {
    std::string out;
    out.reserve(static_cast<size_t>(shape.entries) * 720 + 1024 * 1024);
    RecordWriter w(out, shape.seed);
    const int lastId = EntryId(shape, shape.entries - 1);

    out += "<quillmar>\r\n<metaData>\r\n";
    w.Child("docVer", "1");
    w.Child("lastId", std::to_string(lastId));
    w.Child("syncID", "4E2A9C000");
    w.Child("lastSync", "3/7/2006 02:05:09 PM");
    out += "</metaData>\r\n";

    int id = 0;
    for (int i = 0; i < shape.categories; ++i) {
        w.Open("category", ++id, "");
        w.Common(id, false);
        w.Child("code", "C" + std::to_string(i));
        w.Child("quillmar", std::to_string(40 + i * 5));
        w.Close("category");
    }
    const int firstClientId = id + 1;
    for (int c = 0; c < shape.clients; ++c) {
        w.Open("client", ++id, "");
        w.Common(id, w.Pick(2) == 0);
        w.Child("address", std::to_string(100 + c) + " Main Street, Springfield");
        w.Child("contact", w.Words(2, 2));
        w.Child("accountNum", "AC-" + std::to_string(1000 + c));
        w.Close("client");
    }
    const int firstProjectId = id + 1;
    for (int c = 0; c < shape.clients; ++c) {
        for (int p = 0; p < shape.projectsPerClient; ++p) {
            w.Open("project", ++id, " clientRef=\"" + RecordWriter::RefId(firstClientId + c) + "\"");
            w.Common(id, false);
            w.Close("project");
        }
    }
    const int projects = shape.clients * shape.projectsPerClient;
    for (int n = 0; n < shape.entries; ++n) {
        ++id;
        int type = 1 + n % 3;
        std::string refs = " projectRef=\"" + RecordWriter::RefId(firstProjectId + w.Pick(projects)) + "\"";
        if (type == 1)
            refs += " categoryRef=\"" + RecordWriter::RefId(1 + w.Pick(shape.categories)) + "\"";
        w.Open("projectItem", id, refs);
        w.Common(id, true);
        w.Child("itemDate", w.Date(n));
        w.Child("itemType", std::to_string(type));
        w.Child("pymtStatus", std::to_string(n % 3));
        if (n % 7 == 0)
            w.Child("isBillable", "0");
        w.Child("billAmount", std::to_string(10 + n % 500) + ".5");
        if (type == 1) {
            w.Child("duration", "60");
            w.Child("startTime", w.Time(9 + n % 8, 0));
            w.Child("endTime", w.Time(10 + n % 8, 0));
        } else if (type == 2) {
            w.Child("odometerStart", std::to_string(10000 + n));
            w.Child("odometerEnd", std::to_string(10040 + n));
        } else {
            w.Child("description2", w.Words(1, 3));
        }
        w.Child("custom1", "PO-" + std::to_string(n));
        w.Child("custom2", w.Words(1, 4));
        w.Child("custom3", w.Words(1, 4));
        w.Close("projectItem");
    }
    out += "</quillmar>\r\n";
    return out;
}

bool DataFileGenerator::WriteFile(const std::string& path, const Shape& shape) {
    std::string text = Generate(shape);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(file);
}
