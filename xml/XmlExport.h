#pragma once
// The XML engine is compiled into QuillmarBiz, which is built with hidden symbols; what the
// library's users reach of the engine through it is marked QUILLMAR_XML_EXPORT.
#define QUILLMAR_XML_EXPORT __attribute__((visibility("default")))
