#pragma once
// Put / get functions of the wire format (PROTOCOL.md): integers little-endian, byte strings
// and texts with a 4-byte length, frames with a 4-byte length prefix. Getters consume from the
// front of `in` and return false, consuming nothing useful, when the bytes run short or a length
// is above its limit; the limit is checked before anything is allocated.
#include <cstdint>
#include <string>
#include <string_view>

#include "connection/ConnectionExport.h"
#include "connection/RapiStatus.h"
#include "connection/Transport.h"
#include "platform/CString.h"

namespace rapi {

QUILLMAR_CONNECTION_EXPORT void PutU8(std::string& out, uint8_t value);
QUILLMAR_CONNECTION_EXPORT void PutU32(std::string& out, uint32_t value);
QUILLMAR_CONNECTION_EXPORT void PutU64(std::string& out, uint64_t value);
QUILLMAR_CONNECTION_EXPORT void PutBytes(std::string& out, std::string_view bytes);   // u32 length + bytes
QUILLMAR_CONNECTION_EXPORT void PutText(std::string& out, const CString& text);       // as PutBytes of its UTF-8

QUILLMAR_CONNECTION_EXPORT bool GetU8(std::string_view& in, uint8_t& value);
QUILLMAR_CONNECTION_EXPORT bool GetU32(std::string_view& in, uint32_t& value);
QUILLMAR_CONNECTION_EXPORT bool GetU64(std::string_view& in, uint64_t& value);
QUILLMAR_CONNECTION_EXPORT bool GetBytes(std::string_view& in, size_t maxSize, std::string& bytes);
QUILLMAR_CONNECTION_EXPORT bool GetText(std::string_view& in, CString& text);   // at most kMaxText bytes of UTF-8

// One frame: length prefix then body. A body over maxBody is refused on both ends.
QUILLMAR_CONNECTION_EXPORT RapiStatus WriteFrame(Transport& transport, std::string_view body, size_t maxBody);
QUILLMAR_CONNECTION_EXPORT RapiStatus ReadFrame(Transport& transport, size_t maxBody, std::string& body,
                                                int timeoutMs);

}   // namespace rapi
