#pragma once
#if defined(_WIN32)
// The Windows build names its exports and their ordinals in the module definition file.
#define VB_EXPORT
#else
#define VB_EXPORT __attribute__((visibility("default")))
#endif
