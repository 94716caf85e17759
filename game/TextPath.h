// File names as the engine takes them: narrow text in the platform's
// narrow encoding, UTF-8 here and, by the programs' manifest, on Windows.
// std::filesystem on Windows would read narrow text through the C locale's
// byte-for-byte conversion instead, turning a Japanese name into another
// name, and fail to give one back; these say which encoding is meant.
#ifndef GAME_TEXTPATH_H
#define GAME_TEXTPATH_H

#include <filesystem>
#include <string>

namespace game {

inline std::filesystem::path pathOf(const std::string& text)
{
#if defined(_WIN32)
    return std::filesystem::u8path(text);
#else
    return std::filesystem::path(text);
#endif
}

inline std::string textOf(const std::filesystem::path& path)
{
#if defined(_WIN32)
    return path.u8string();
#else
    return path.string();
#endif
}

// With "/" between the names, as the reports and the sorting use them.
inline std::string genericTextOf(const std::filesystem::path& path)
{
#if defined(_WIN32)
    return path.generic_u8string();
#else
    return path.generic_string();
#endif
}

} // namespace game

#endif
