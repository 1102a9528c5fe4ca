#pragma once
// The Sync library is built with hidden symbols; its remote entry points are marked
// QUILLMAR_SYNC_EXPORT and keep C names, since the connection service finds them by name.
#define QUILLMAR_SYNC_EXPORT __attribute__((visibility("default")))
