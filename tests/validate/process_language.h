#pragma once
// The language settings of the process the plug-in runs in, which belong to the host: the C
// runtime's locale, the thread's own locale, and on Windows the thread locale and the thread's
// and the user's UI languages, elsewhere the locale variables of the environment.
#include <string>

namespace validate {

// All of them in one line, to compare before and after a call and to read when they differ.
std::string ProcessLanguage();

}  // namespace validate
