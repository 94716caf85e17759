// Fault injection over a whole chipset conversion: the n-th picture
// allocation, file write, file move or folder creation fails, for every n the
// conversion reaches. Each time the result and the box must be those the
// design gives for that failure, nothing may be left half written under a
// final name (nor any temporary file), and every file written before the
// failure must be whole and equal to the one an undisturbed run writes.
//
// The stand-ins below replace SDL's surface creation, the nothrow array new
// the engine's pixel buffers use, SDL's stream over a written file, rename
// and mkdir; the
// engine is linked statically and the program exports them, so the engine's
// calls and those of the libraries it uses reach them.
#include "ConvertFixtures.h"

#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <new>
#include <set>
#include <sstream>

namespace {

enum class Kind { None, Allocation, FileWrite, FileMove, Folder };

// A point the conversion passed, as the stand-ins saw it.
struct Point {
    Kind kind;
    int w = 0, h = 0, depth = 0; // allocations; depth 0 for a pixel buffer
    std::string file;            // file writes and moves: the final name
};

struct Injector {
    bool recording = false;
    std::vector<Point> points;
    Kind failKind = Kind::None;
    int failAt = -1; // index among the points of failKind
    int seen[5] = {};

    // True when this point is the one to fail.
    bool pass(const Point& p)
    {
        if (recording)
            points.push_back(p);
        const int index = seen[int(p.kind)]++;
        return p.kind == failKind && index == failAt;
    }
    void reset(Kind kind, int at)
    {
        failKind = kind;
        failAt = at;
        for (int& s : seen)
            s = 0;
    }
};

Injector injector;

// "out/x.~pw12-3.png" -> "out/x.png": the final name of a temporary file.
std::string finalNameOf(const std::string& file)
{
    const std::string::size_type tag = file.find(".~pw");
    if (tag == std::string::npos)
        return file;
    const std::string::size_type dot = file.find('.', tag + 1);
    return file.substr(0, tag) + (dot == std::string::npos ? std::string() : file.substr(dot));
}

// A stream that takes the first 64 bytes and then refuses every write: the
// file is left half written, and the writer must notice.
SDL_RWops* halfWritten(SDL_RWops* inner)
{
    struct Budget {
        SDL_RWops* inner;
        int left;
    };
    SDL_RWops* rw = SDL_AllocRW();
    rw->hidden.unknown.data1 = new Budget{inner, 64};
    rw->seek = [](SDL_RWops* c, int offset, int whence) {
        auto* b = static_cast<Budget*>(c->hidden.unknown.data1);
        return SDL_RWseek(b->inner, offset, whence);
    };
    rw->read = [](SDL_RWops*, void*, int, int) { return -1; };
    rw->write = [](SDL_RWops* c, const void* data, int size, int count) {
        auto* b = static_cast<Budget*>(c->hidden.unknown.data1);
        const int bytes = size * count;
        if (bytes > b->left) {
            SDL_RWwrite(b->inner, data, 1, b->left);
            b->left = 0;
            SDL_SetError("Error writing to datastream");
            return 0;
        }
        b->left -= bytes;
        return SDL_RWwrite(b->inner, data, size, count);
    };
    rw->close = [](SDL_RWops* c) {
        auto* b = static_cast<Budget*>(c->hidden.unknown.data1);
        SDL_RWclose(b->inner);
        delete b;
        SDL_FreeRW(c);
        return 0;
    };
    return rw;
}

} // namespace

extern "C" SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int w, int h, int depth, Uint32 r, Uint32 g, Uint32 b,
                                             Uint32 a)
{
    using Create = SDL_Surface* (*)(Uint32, int, int, int, Uint32, Uint32, Uint32, Uint32);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "SDL_CreateRGBSurface"));
    // SDL makes a 0 x 0 surface of its own when its video starts.
    if (w > 0 && h > 0 && injector.pass(Point{Kind::Allocation, w, h, depth, {}}))
        return nullptr;
    return real(flags, w, h, depth, r, g, b, a);
}

void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept
{
    if (injector.pass(Point{Kind::Allocation, int(bytes / 4), 1, 0, {}}))
        return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

// Every array form goes through malloc and free together: replacing only the
// nothrow allocation would leave the library's own new[] (file buffers) paired
// with this free, which the address sanitizer rightly calls a mismatch.
void* operator new[](std::size_t bytes)
{
    if (void* p = std::malloc(bytes == 0 ? 1 : bytes))
        return p;
    throw std::bad_alloc();
}

void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

// The engine creates each temporary file itself (exclusively) and hands the
// stream to SDL; the name comes back from the descriptor.
extern "C" SDL_RWops* SDL_RWFromFP(FILE* fp, int autoclose)
{
    using Wrap = SDL_RWops* (*)(FILE*, int);
    static const auto real = reinterpret_cast<Wrap>(dlsym(RTLD_NEXT, "SDL_RWFromFP"));
    SDL_RWops* opened = real(fp, autoclose);
    char file[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fileno(fp));
    const ssize_t length = readlink(link.c_str(), file, sizeof file - 1);
    if (opened != nullptr && length > 0 && std::string(file).find(".~pw") != std::string::npos
        && injector.pass(Point{Kind::FileWrite, 0, 0, 0, finalNameOf(file)}))
        return halfWritten(opened);
    return opened;
}

extern "C" __attribute__((visibility("default"))) int rename(const char* from, const char* to)
{
    using Rename = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    if (injector.pass(Point{Kind::FileMove, 0, 0, 0, to})) {
        errno = EIO;
        return -1;
    }
    return real(from, to);
}

extern "C" __attribute__((visibility("default"))) int mkdir(const char* path, mode_t mode)
{
    using MakeDir = int (*)(const char*, mode_t);
    static const auto real = reinterpret_cast<MakeDir>(dlsym(RTLD_NEXT, "mkdir"));
    if (injector.pass(Point{Kind::Folder, 0, 0, 0, path})) {
        errno = EACCES;
        return -1;
    }
    return real(path, mode);
}

namespace {

using Files = std::map<std::string, std::string>; // name -> bytes

Files filesIn(const std::string& folder) { return readFolder(folder); }

// What the design gives for one failing point, and which files must be there.
struct Expectation {
    int code;
    std::string box;
    // The files that must exist, each equal to the undisturbed run's.
    std::set<std::string> files;
    // A skipped chip block: the run succeeds with fewer cells, so its files
    // are named otherwise and are only checked for being whole pictures.
    bool fewerCells = false;
};

class FaultWalk : public ConvertTest {
protected:
    void SetUp() override
    {
        ConvertTest::SetUp();
        writeGradientBmp(path("chip.bmp"), 480, 256);
        setThreadCount(1);
    }
    void TearDown() override
    {
        injector.reset(Kind::None, -1);
        injector.recording = false;
        setThreadCount(0);
        ConvertTest::TearDown();
    }

    int convert(const std::string& folder, int format)
    {
        // Sharpening on, so the sharpening's copy is met too.
        return graphicConvert(path("chip.bmp").c_str(), folder.c_str(), "t", 1, 16, 16, 1, 1, 1, format, format == 1,
                              "", 1, "color", 1, "alpha");
    }

    // The undisturbed run: its points in order, and its files in the order
    // they were put in place.
    void record(int format)
    {
        injector.reset(Kind::None, -1);
        injector.points.clear();
        injector.recording = true;
        const std::string folder = path("reference" + std::to_string(format));
        ASSERT_EQ(convert(folder, format), 0);
        injector.recording = false;
        reference = filesIn(folder);
        for (const Point& p : injector.points)
            if (p.kind == Kind::FileMove)
                order.push_back(p.file.substr(p.file.rfind('/') + 1));
        ASSERT_EQ(order.size(), reference.size());
    }

    // The files put in place before the one named.
    std::set<std::string> before(const std::string& file) const
    {
        std::set<std::string> earlier;
        for (const std::string& name : order) {
            if (name == file)
                break;
            earlier.insert(name);
        }
        return earlier;
    }

    // The files of the cells before cell `cell`.
    std::set<std::string> cellsBefore(int cell) const
    {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "t_%02d", cell);
        return before(findFirst(prefix));
    }

    std::string findFirst(const std::string& prefix) const
    {
        for (const std::string& name : order)
            if (name.rfind(prefix, 0) == 0)
                return name;
        return std::string();
    }

    static int variantCode(const std::string& file)
    {
        if (file.find("_color.") != std::string::npos)
            return 22;
        if (file.find("_alpha.") != std::string::npos)
            return 23;
        return 21;
    }

    // The cell whose enlarged picture is w x h: cells are cut in list order
    // and the chipset's sizes repeat, so the first cell not yet enlarged of
    // that size is the one.
    int cellOfTarget(int w, int h, std::vector<bool>& enlarged) const
    {
        static const int sizes[18][2] = {{128, 768}, {144, 64}, {144, 64}, {48, 64}, {48, 64}, {64, 16},
                                         {64, 16},   {64, 16},  {48, 64},  {48, 64}, {48, 64}, {48, 64},
                                         {48, 64},   {48, 64},  {48, 64},  {48, 64}, {48, 64}, {48, 64}};
        for (int c = 0; c < 18; ++c)
            if (!enlarged[c] && 2 * sizes[c][0] == w && 2 * sizes[c][1] == h)
                return c;
        return -1;
    }

    Files reference;
    std::vector<std::string> order;
};

} // namespace

// One walk per kind of point and format, so the walks run side by side:
// BMP over every kind, PNG over its writes, where its encoder's failure
// paths are.
struct WalkCase {
    int format;
    Kind kind;
};

void PrintTo(const WalkCase& c, std::ostream* os) { *os << (c.format == 0 ? "BMP" : "PNG") << " kind " << int(c.kind); }

class FaultWalkByKind : public FaultWalk, public ::testing::WithParamInterface<WalkCase> {};

std::string walkName(const ::testing::TestParamInfo<WalkCase>& info)
{
    static const char* const names[] = {"None", "Allocation", "FileWrite", "FileMove", "Folder"};
    return std::string(info.param.format == 0 ? "Bmp" : "Png") + names[int(info.param.kind)];
}

const WalkCase walks[] = {{0, Kind::Allocation}, {0, Kind::FileWrite}, {0, Kind::FileMove}, {0, Kind::Folder},
                          {1, Kind::FileWrite}};

INSTANTIATE_TEST_SUITE_P(Points, FaultWalkByKind, ::testing::ValuesIn(walks), walkName);

TEST_P(FaultWalkByKind, EveryFailingPointEndsAsDesignedAndLeavesOnlyWholeFiles)
{
    {
        const int format = GetParam().format;
        order.clear();
        record(format);
        const std::vector<Point> points = injector.points;
        int counts[5] = {};
        std::vector<Expectation> expected;
        std::vector<Kind> kinds;
        std::vector<int> indices;
        // Which cell each allocation belongs to, in the undisturbed order.
        std::vector<bool> enlarged(18, false);
        int currentCell = -1;
        bool cutDone = false;
        std::string writing; // the file between its opening and its move
        const std::string source = path("chip.bmp");
        for (const Point& p : points) {
            Expectation e;
            const int index = counts[int(p.kind)]++;
            switch (p.kind) {
            case Kind::Folder:
                // The box names the folder of the run; filled in below.
                e.code = 8;
                break;
            case Kind::FileWrite:
            case Kind::FileMove: {
                const std::string name = p.file.substr(p.file.rfind('/') + 1);
                e.code = variantCode(name);
                e.box = "画像ファイルの保存に失敗しました。";
                e.files = before(name);
                writing = p.kind == Kind::FileWrite ? name : std::string();
                break;
            }
            case Kind::Allocation:
                if (!writing.empty() && p.depth == 0) {
                    // The writer's own row buffer.
                    e.code = variantCode(writing);
                    e.box = "画像ファイルの保存に失敗しました。";
                    e.files = before(writing);
                } else if (index == 0) {
                    // The source picture itself.
                    e.code = 10;
                    e.box = source + "ファイルを開けません。";
                } else if (!cutDone && !(p.depth == 32 && p.w == 256 && p.h == 1536)) {
                    // The cut: a sea or animation picture only skips its
                    // block; every other picture stops the cut.
                    const bool chip = p.depth == 32 && ((p.w == 144 && p.h == 64) || (p.w == 64 && p.h == 16));
                    e.code = chip ? 0 : 11;
                    e.box = chip ? "" : "画像ファイル'" + source + "'ファイルの並び替えにに失敗しました。";
                    e.fewerCells = chip;
                } else if (p.depth == 32 || p.depth == 0) {
                    writing.clear();
                    // A target, the decoded cell or the sharpening's copy.
                    cutDone = true;
                    if (p.depth == 32) {
                        currentCell = cellOfTarget(p.w, p.h, enlarged);
                        enlarged[currentCell] = true;
                    }
                    e.code = 20;
                    e.box = "画像ファイルの変換に失敗しました。";
                    e.files = cellsBefore(currentCell);
                } else {
                    // The colour (24-bit) or alpha (8-bit) picture of the cell;
                    // the files of a cell are all written before they move.
                    writing.clear();
                    e.code = p.depth == 24 ? 22 : 23;
                    e.box = "画像ファイルの保存に失敗しました。";
                    char prefix[32];
                    std::snprintf(prefix, sizeof prefix, "t_%02d%s", currentCell, p.depth == 24 ? "_color" : "_alpha");
                    e.files = before(findFirst(prefix));
                }
                break;
            default:
                break;
            }
            if (std::getenv("FAULT_TRACE"))
                std::fprintf(stderr, "%zu kind %d %dx%d d%d %s -> %d\n", expected.size(), int(p.kind), p.w, p.h,
                             p.depth, p.file.c_str(), e.code);
            expected.push_back(e);
            kinds.push_back(p.kind);
            indices.push_back(index);
        }
        EXPECT_GT(counts[int(Kind::Allocation)], format == 0 ? 140 : 100);
        EXPECT_EQ(counts[int(Kind::FileWrite)], format == 1 ? 54 : 36);
        EXPECT_EQ(counts[int(Kind::FileMove)], format == 1 ? 54 : 36);
        EXPECT_EQ(counts[int(Kind::Folder)], 1);

        for (size_t n = 0; n < expected.size(); ++n) {
            if (kinds[n] != GetParam().kind)
                continue;
            const Expectation& e = expected[n];
            const std::string folder = path("run" + std::to_string(format) + "_" + std::to_string(n));
            boxes.clear();
            injector.reset(kinds[n], indices[n]);
            const int result = convert(folder, format);
            injector.reset(Kind::None, -1);
            const std::string at = "format " + std::to_string(format) + ", point " + std::to_string(n);
            ASSERT_EQ(result, e.code) << at;
            const std::string box = kinds[n] != Kind::Folder ? e.box
                                    : "出力フォルダの名前がおかしいです。\n\nboost::filesystem::create_directory: \""
                                          + folder + "\": Permission denied";
            if (e.code == 0) {
                EXPECT_TRUE(boxes.empty()) << at;
            } else {
                ASSERT_EQ(boxes.size(), 1u) << at;
                EXPECT_EQ(boxes[0], box) << at;
            }
            const Files left = filesIn(folder);
            for (const auto& [name, bytes] : left)
                EXPECT_EQ(name.find(".~pw"), std::string::npos) << at << ": temporary file " << name << " left";
            if (e.fewerCells) {
                EXPECT_LT(left.size(), reference.size()) << at;
                for (const auto& [name, bytes] : left) {
                    SdlPicture picture = decode(folder + "/" + name);
                    EXPECT_TRUE(picture) << at << ": " << name << " is no whole picture";
                }
                continue;
            }
            std::set<std::string> names;
            for (const auto& [name, bytes] : left) {
                names.insert(name);
                EXPECT_TRUE(reference.count(name) && reference.at(name) == bytes) << at << ": " << name;
            }
            EXPECT_EQ(names, e.files) << at;
            const std::string log = takeLog();
            // A PNG cut off in mid-stream: libpng's own word is in the entry.
            if (format == 1 && kinds[n] == Kind::FileWrite) {
                EXPECT_NE(log.find("画像保存に失敗しました。:WPX_png: Error has occured while saving a SDL surface to a "
                                   "png file\nlibpng error: write to the data source failed\n"),
                          std::string::npos)
                    << at << log;
            }
        }
    }
}

TEST_F(FaultWalk, WithSeveralThreadsAFailureStillKeepsTheEarlierFilesWhole)
{
    order.clear();
    record(1);
    setThreadCount(4);
    // The order of the writes is no longer fixed, so the failing one is
    // found afterwards: whichever it was, the files before it in the
    // one-thread order are there and whole, and nothing after it.
    for (int n : {0, 7, 20, 53}) {
        const std::string folder = path("threads_" + std::to_string(n));
        boxes.clear();
        injector.reset(Kind::FileWrite, n);
        const int result = convert(folder, 1);
        injector.reset(Kind::None, -1);
        ASSERT_TRUE(result == 21 || result == 22 || result == 23) << n << ": " << result;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "画像ファイルの保存に失敗しました。");
        const Files left = filesIn(folder);
        // The files left are exactly a prefix of the one-thread order.
        std::set<std::string> names;
        for (const auto& [name, bytes] : left) {
            names.insert(name);
            EXPECT_TRUE(reference.count(name) && reference.at(name) == bytes) << name;
        }
        std::set<std::string> prefix;
        for (const std::string& name : order) {
            if (names.count(name) == 0)
                break;
            prefix.insert(name);
        }
        EXPECT_EQ(names, prefix) << n;
        EXPECT_EQ(variantCode(order[names.size()]), result) << n;
        takeLog();
    }
}
