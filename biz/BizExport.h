#pragma once
// QuillmarBiz (both builds) is built with hidden symbols; what the programs, the Sync library and
// the tests call is marked QUILLMAR_BIZ_EXPORT.
#define QUILLMAR_BIZ_EXPORT __attribute__((visibility("default")))
