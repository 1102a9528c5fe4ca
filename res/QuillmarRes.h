#pragma once
// The resource library's two exports. Programs reach them through dlsym (platform/Library.h);
// the texts live for the life of the loaded library and are never freed by the caller.

#define QUILLMAR_RES_EXPORT __attribute__((visibility("default")))

extern "C" {
// UTF-8 text of string `id`; nullptr when the library has no such string.
QUILLMAR_RES_EXPORT const char* QuillmarRes_String(unsigned id);
// SVG document of icon `id`; nullptr when the library has no such icon.
QUILLMAR_RES_EXPORT const char* QuillmarRes_Icon(unsigned id);
}
