#pragma once
// QuillmarPlatform is built with hidden symbols; what the programs, the other libraries and the
// tests call is marked QUILLMAR_PLATFORM_EXPORT. Header-only classes that cross a library
// boundary (their type information) are marked too, so every library sees one type.
#define QUILLMAR_PLATFORM_EXPORT __attribute__((visibility("default")))
