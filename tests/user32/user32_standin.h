#pragma once
// A stand-in for the message-box call of USER32.DLL: records every box the plug-in asks for and
// answers with a scripted button instead of showing anything.
#include <cstdint>

#define USER32_STANDIN_API extern "C" __attribute__((visibility("default")))

// The call the Linux platform layer looks up by name in the loaded module USER32.DLL.
USER32_STANDIN_API int32_t MessageBoxW(void* owner, const char16_t* text, const char16_t* caption,
                                       uint32_t style);

// Forgets every recorded box and answers 0 (no box shown) until scripted otherwise.
USER32_STANDIN_API void User32Standin_Reset();
// The value the following boxes return.
USER32_STANDIN_API void User32Standin_SetAnswer(int32_t answer);
USER32_STANDIN_API int32_t User32Standin_CallCount();
// The last box's arguments; texts stay valid until the next box or reset ("" before any box).
USER32_STANDIN_API void* User32Standin_LastOwner();
USER32_STANDIN_API const char16_t* User32Standin_LastText();
USER32_STANDIN_API const char16_t* User32Standin_LastCaption();
USER32_STANDIN_API uint32_t User32Standin_LastStyle();
