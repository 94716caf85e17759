#include "game/GameFolder.h"
#include "game/TextPath.h"

#include <algorithm>
#include <filesystem>
#include <map>
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
        return textOf(a.path().filename()) < textOf(b.path().filename());
    });
    return entries;
}

GameEntry entryFor(const fs::directory_entry& found, const std::string& folder)
{
    GameEntry entry;
    const std::string name = textOf(found.path().filename());
    entry.relativePath = folder.empty() ? name : folder + "/" + name;
    entry.path = textOf(found.path());
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
    for (fs::directory_iterator it(pathOf(folder), ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec) && kindOfFolder(textOf(it->path().filename()).c_str()) != PIXWRIGHT_KIND_UNKNOWN)
            return true;
    return false;
}

std::vector<GameEntry> scanGame(const std::string& gameFolder)
{
    std::vector<GameEntry> entries;
    for (const fs::directory_entry& top : sortedEntries(pathOf(gameFolder))) {
        GameEntry entry = entryFor(top, "");
        if (!entry.isFolder) {
            entry.skip = Skip::NotInAssetFolder;
            entries.push_back(entry);
            continue;
        }
        entry.kind = kindOfFolder(textOf(top.path().filename()).c_str());
        if (entry.kind == PIXWRIGHT_KIND_UNKNOWN) {
            entry.skip = Skip::NotAssetFolder;
            entries.push_back(entry);
            continue;
        }
        const std::string folder = textOf(top.path().filename());
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

std::string outputFolderOf(const std::string& outputFolder, const GameEntry& entry)
{
    return textOf(pathOf(outputFolder) / pathOf(entry.folder));
}

namespace {

struct PlanTask {
    const std::vector<GameEntry>* entries;
    const KindPresets* presets;
    const std::string* outputFolder;
    const OutputRequest* outputs;
    std::vector<std::vector<std::string>>* planned;
};

void taskPlan(void* data, int index)
{
    const PlanTask& task = *static_cast<const PlanTask*>(data);
    const GameEntry& entry = (*task.entries)[size_t(index)];
    if (!entry.isPicture())
        return;
    const PixwrightKindSettings settings = task.presets->forPicture(entry);
    const std::string folder = outputFolderOf(*task.outputFolder, entry);
    const OutputRequest& o = *task.outputs;
    const auto list = [&](char* buffer, int size) {
        return plannedOutputFiles(entry.path.c_str(), folder.c_str(), nullptr, settings.editorPreset, o.outputFormat,
                                  o.saveNatural, o.naturalSuffix.c_str(), o.saveColor, o.colorSuffix.c_str(),
                                  o.saveAlpha, o.alphaSuffix.c_str(), buffer, size);
    };
    std::string names(size_t(std::max(0, list(nullptr, 0))), '\0');
    if (names.empty() || list(&names[0], int(names.size())) != int(names.size()))
        return;
    std::vector<std::string>& files = (*task.planned)[size_t(index)];
    for (size_t at = 0; at < names.size() && names[at] != '\0';) {
        files.emplace_back(names.c_str() + at);
        at += files.back().size() + 1;
    }
}

} // namespace

std::vector<std::vector<std::string>> plannedFiles(const std::vector<GameEntry>& entries, const KindPresets& presets,
                                                   const std::string& outputFolder, const OutputRequest& outputs)
{
    std::vector<std::vector<std::string>> planned(entries.size());
    PlanTask task{&entries, &presets, &outputFolder, &outputs, &planned};
    if (!entries.empty())
        runTasks(static_cast<int>(entries.size()), taskPlan, &task);
    return planned;
}

std::vector<int> findClashes(const std::vector<std::vector<std::string>>& planned)
{
    std::vector<int> clashes(planned.size(), -1);
    std::map<std::string, int> owner;
    for (size_t i = 0; i < planned.size(); ++i) {
        for (const std::string& file : planned[i]) {
            const auto found = owner.find(file);
            if (found != owner.end() && found->second != int(i)) {
                clashes[i] = found->second;
                break;
            }
        }
        // The files of a picture that is not converted stay free.
        if (clashes[i] < 0)
            for (const std::string& file : planned[i])
                owner.emplace(file, int(i));
    }
    return clashes;
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
