#include "biz/RecordReader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "biz/DateTimeFormatter.h"
#include "xml/MarkupArchive.h"

CRecordReader::CRecordReader(CMarkupArchive& archive) : m_archive(archive) {
    m_archive.ResetChildPos();
    while (m_archive.FindChildElem()) {
        CString name = m_archive.GetChildTagName();
        if (!Find(name.GetString()))
            m_children.emplace_back(std::move(name), m_archive.GetChildData());
    }
    m_archive.ResetChildPos();
}

const CString* CRecordReader::Find(const char16_t* name) const {
    for (const auto& [childName, data] : m_children)
        if (childName == name)
            return &data;
    return nullptr;
}

CString CRecordReader::Attrib(const char16_t* name) const {
    return m_archive.GetAttrib(name);
}

int CRecordReader::AttribInt(const char16_t* name) const {
    return ScanInt(Attrib(name));
}

bool CRecordReader::Text(const char16_t* name, CString& value) const {
    const CString* data = Find(name);
    if (data)
        value = *data;
    return data != nullptr;
}

bool CRecordReader::Int(const char16_t* name, int& value) const {
    const CString* data = Find(name);
    if (data)
        value = ScanInt(*data);
    return data != nullptr;
}

bool CRecordReader::Float(const char16_t* name, float& value) const {
    const CString* data = Find(name);
    if (data)
        value = ScanFloat(*data);
    return data != nullptr;
}

bool CRecordReader::DateTime(const char16_t* name, COleDateTime& value) const {
    const CString* data = Find(name);
    if (data)
        value = CDateTimeFormatter::GetDateTimeFromDB(*data);
    return data != nullptr;
}

int CRecordReader::ScanInt(const CString& text) {
    const std::string utf8 = text.ToUtf8();
    errno = 0;
    const long long value = std::strtoll(utf8.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

float CRecordReader::ScanFloat(const CString& text) {
    const std::string utf8 = text.ToUtf8();
    return std::strtof(utf8.c_str(), nullptr);
}
