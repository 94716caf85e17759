#include "game/GameFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace game {

namespace fs = std::filesystem;

namespace {

// The directory's entries in byte order of their names, so that a listing is
// the same on every run and every machine.
std::vector<fs::directory_entry> sortedEntries(const fs::path& folder)
{
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
        return a.path().filename().string() < b.path().filename().string();
    });
    return entries;
}

GameEntry entryFor(const fs::directory_entry& found, const std::string& folder)
{
    GameEntry entry;
    const std::string name = found.path().filename().string();
    entry.relativePath = folder.empty() ? name : folder + "/" + name;
    entry.path = found.path().string();
    entry.folder = folder;
    std::error_code ec;
    entry.isFolder = found.is_directory(ec);
    return entry;
}

void taskInspect(void* data, int index)
{
    GameEntry* entries = static_cast<GameEntry*>(data);
    GameEntry& entry = entries[index];
    PixwrightPictureInfo info{};
    if (entry.isPicture() && inspectPicture(entry.path.c_str(), &info) == PIXWRIGHT_RESULT_SUCCESS) {
        entry.width = info.width;
        entry.height = info.height;
    }
}

} // namespace

const char* skipText(Skip skip)
{
    switch (skip) {
    case Skip::NotInAssetFolder:
        return "not in an asset folder";
    case Skip::NotAssetFolder:
        return "not an asset folder";
    case Skip::FolderInsideAssetFolder:
        return "a folder inside an asset folder";
    case Skip::NotPicture:
        return "not a picture";
    case Skip::None:
        break;
    }
    return "";
}

bool isGameFolder(const std::string& folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec) && kindOfFolder(it->path().filename().string().c_str()) != PIXWRIGHT_KIND_UNKNOWN)
            return true;
    return false;
}

std::vector<GameEntry> scanGame(const std::string& gameFolder)
{
    std::vector<GameEntry> entries;
    for (const fs::directory_entry& top : sortedEntries(gameFolder)) {
        GameEntry entry = entryFor(top, "");
        if (!entry.isFolder) {
            entry.skip = Skip::NotInAssetFolder;
            entries.push_back(entry);
            continue;
        }
        entry.kind = kindOfFolder(top.path().filename().string().c_str());
        if (entry.kind == PIXWRIGHT_KIND_UNKNOWN) {
            entry.skip = Skip::NotAssetFolder;
            entries.push_back(entry);
            continue;
        }
        const std::string folder = top.path().filename().string();
        for (const fs::directory_entry& inside : sortedEntries(top.path())) {
            GameEntry file = entryFor(inside, folder);
            file.kind = entry.kind;
            if (file.isFolder) {
                file.skip = Skip::FolderInsideAssetFolder;
            } else if (fileFormat(file.path.c_str(), &file.format) == PIXWRIGHT_FILE_NOT_PICTURE) {
                file.skip = Skip::NotPicture;
            }
            entries.push_back(file);
        }
    }
    return entries;
}

void inspectPictures(std::vector<GameEntry>& entries)
{
    if (!entries.empty())
        runTasks(static_cast<int>(entries.size()), taskInspect, entries.data());
}

KindPresets KindPresets::table()
{
    KindPresets presets;
    for (int kind = 0; kind < PIXWRIGHT_KIND_COUNT; ++kind)
        kindSettings(kind, &presets.rows[size_t(kind)]);
    return presets;
}

PixwrightKindSettings KindPresets::forPicture(const GameEntry& entry) const
{
    PixwrightKindSettings settings{};
    if (entry.kind >= 0 && entry.kind < PIXWRIGHT_KIND_COUNT)
        pictureSettings(&rows[size_t(entry.kind)], entry.width, entry.height, &settings);
    return settings;
}

PixwrightColorKey keyOf(int keyMode, unsigned fixedColour)
{
    PixwrightColorKey key{};
    key.mode = keyMode;
    key.red = int((fixedColour >> 16) & 0xFF);
    key.green = int((fixedColour >> 8) & 0xFF);
    key.blue = int(fixedColour & 0xFF);
    key.paletteIndex = 0;
    return key;
}

} // namespace game
