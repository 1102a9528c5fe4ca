#include "biz/RecordReader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "biz/DateTimeFormatter.h"
#include "xml/MarkupArchive.h"

CRecordReader::CRecordReader(CMarkupArchive& archive) : m_archive(archive) {
    m_archive.ResetChildPos();
    while (m_archive.FindChildElem()) {
        const int index = FieldIndex(m_archive.GetChildTagName().str());
        if (index >= 0 && !m_values[index])
            m_values[index] = m_archive.GetChildData();
    }
    m_archive.ResetChildPos();
}

int CRecordReader::FieldIndex(std::u16string_view name) {
    for (size_t i = 0; i < kFieldNames.size(); ++i)
        if (kFieldNames[i] == name)
            return static_cast<int>(i);
    return -1;
}

std::optional<CString>* CRecordReader::Find(const char16_t* name) const {
    const int index = FieldIndex(name);
    if (index < 0 || !m_values[index])
        return nullptr;
    return &m_values[index];
}

CString CRecordReader::Attrib(const char16_t* name) const { return m_archive.GetAttrib(name); }

int CRecordReader::AttribInt(const char16_t* name) const { return ScanInt(Attrib(name)); }

bool CRecordReader::Text(const char16_t* name, CString& value) const {
    std::optional<CString>* data = Find(name);
    if (data)
        value = std::move(**data);
    return data != nullptr;
}

bool CRecordReader::Int(const char16_t* name, int& value) const {
    const std::optional<CString>* data = Find(name);
    if (data)
        value = ScanInt(**data);
    return data != nullptr;
}

bool CRecordReader::Float(const char16_t* name, float& value) const {
    const std::optional<CString>* data = Find(name);
    if (data)
        value = ScanFloat(**data);
    return data != nullptr;
}

bool CRecordReader::DateTime(const char16_t* name, COleDateTime& value) const {
    const std::optional<CString>* data = Find(name);
    if (data)
        value = CDateTimeFormatter::GetDateTimeFromDB(**data);
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
