// The command line's words for a failed conversion, in English or Japanese,
// made from the facts the engine keeps of the failure (getLastFailure).
#ifndef CLI_FAILURETEXT_H
#define CLI_FAILURETEXT_H

#include "engine/Pixwright_DLL.h"

#include <string>

namespace cli {

enum class Language { English, Japanese };

// Japanese when the locale's messages are (LC_ALL, else LC_MESSAGES, else
// LANG, the first that is set and not empty, starting with "ja"); English
// for every other locale.
Language messageLanguage(const char* lcAll, const char* lcMessages, const char* lang);
Language messageLanguageFromEnvironment();

// One message: what failed, the file or folder and the reason.
std::string failureText(const PixwrightFailure& failure, Language language);

// The line for a run stopped by the user, with the files written before.
std::string stoppedText(long filesWritten, Language language);

} // namespace cli

#endif
