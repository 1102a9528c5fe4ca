#pragma once
// QuillmarRapi is built with hidden symbols; what the desktop build of the business library, the
// connection service and the tests call is marked QUILLMAR_CONNECTION_EXPORT.
#define QUILLMAR_CONNECTION_EXPORT __attribute__((visibility("default")))
