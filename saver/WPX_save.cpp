// Save dispatch by type name, and the file wrappers around it.
#include "saver/WPX_save.h"
#include "saver/WPX_messages.h"

#include <cctype>
#include <cstring>

namespace {

struct SaveType {
    const char* name;
    int (*save)(SDL_Surface*, SDL_RWops*, const WPX_SaveSettings&);
};

// Searched in order; the first match wins.
const SaveType saveTypes[] = {
    {"BMP", wpx::saveBmp},
    {"PNG", wpx::savePng},
    {"JPG", wpx::saveJpg},
    {"JPEG", wpx::saveJpg},
};

// Whole-string equality after upper-casing both sides with the C locale
// rules in force, so "png" and "Png" name the same writer.
bool sameTypeName(const char* given, const char* known)
{
    for (; *given != '\0' && *known != '\0'; ++given, ++known)
        if (std::toupper((unsigned char)*given) != std::toupper((unsigned char)*known))
            return false;
    return *given == '\0' && *known == '\0';
}

const SaveType* findSaveType(const char* type)
{
    for (const SaveType& row : saveTypes)
        if (sameTypeName(type, row.name))
            return &row;
    return nullptr;
}

// The dispatch of WPX_Save_RW and WPX_SaveEx_RW: checks the stream and
// the type, then hands the surface to the writer the type names.
int dispatch(SDL_Surface* surface, SDL_RWops* dst, int freedst, const char* type, const WPX_SaveSettings& settings)
{
    wpx::clearMessages();
    if (dst == nullptr) {
        SDL_SetError("Passed a NULL data source");
        return 1;
    }
    if (type == nullptr) {
        SDL_SetError("Passed a NULL type");
        if (freedst)
            SDL_RWclose(dst);
        return 2;
    }
    if (SDL_RWseek(dst, 0, RW_SEEK_CUR) < 0) {
        SDL_SetError("Can't seek in this data source");
        if (freedst)
            SDL_RWclose(dst);
        return 3;
    }
    const int start = SDL_RWseek(dst, 0, RW_SEEK_CUR);

    const SaveType* saveType = findSaveType(type);
    if (saveType == nullptr) {
        if (freedst)
            SDL_RWclose(dst);
        SDL_SetError("Unsupported image format");
        return 4;
    }
    SDL_RWseek(dst, start, RW_SEEK_SET);
    const int result = saveType->save(surface, dst, settings);
    if (freedst)
        SDL_RWclose(dst);
    return result;
}

} // namespace

const WPX_SaveSettings& wpx::plainSettings()
{
    static const WPX_SaveSettings plain = {WPX_PNG_FILTER_DEFAULT, 0, nullptr, nullptr, nullptr, nullptr,
                                           WPX_PNG_COMPRESSION_DEFAULT, 0};
    return plain;
}

extern "C" {

WPX_EXPORT const SDL_version* WPX_Linked_Version(void)
{
    static SDL_version version;
    version.major = 1;
    version.minor = 2;
    version.patch = 4;
    return &version;
}

WPX_EXPORT int WPX_Save(SDL_Surface* surface, const char* file)
{
    // The file is opened (and so created or truncated) before its type is
    // looked at: a name with an unknown type leaves an empty file behind.
    SDL_RWops* dst = SDL_RWFromFile(file, "wb");
    const char* dot = file != nullptr ? std::strrchr(file, '.') : nullptr;
    const char* type = dot != nullptr ? dot + 1 : nullptr;
    if (dst == nullptr)
        return 1;
    return WPX_Save_RW(surface, dst, 1, type);
}

WPX_EXPORT int WPX_SaveTyped(SDL_Surface* surface, const char* file, const char* type)
{
    SDL_RWops* dst = SDL_RWFromFile(file, "wb");
    if (dst == nullptr)
        return 1;
    return WPX_Save_RW(surface, dst, 1, type);
}

WPX_EXPORT int WPX_Save_RW(SDL_Surface* surface, SDL_RWops* dst, int freedst, const char* type)
{
    return dispatch(surface, dst, freedst, type, wpx::plainSettings());
}

WPX_EXPORT int WPX_SaveEx_RW(SDL_Surface* surface, SDL_RWops* dst, const char* type, const WPX_SaveSettings* settings)
{
    return dispatch(surface, dst, 0, type, settings != nullptr ? *settings : wpx::plainSettings());
}

} // extern "C"
