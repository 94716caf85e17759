#include "tests/saver/saver_fixtures.h"

#include <fstream>
#include <sys/stat.h>

using namespace saver_test;

namespace {

// The first byte of the file, or -1 for a missing or empty one.
int firstByte(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? in.get() : -2;
}

} // namespace

TEST(SaverVersion, IsOneTwoFourOnEveryCall)
{
    const_cast<SDL_version*>(WPX_Linked_Version())->major = 9;
    const SDL_version* v = WPX_Linked_Version();
    EXPECT_EQ((Rgba{v->major, v->minor, v->patch, 0}), (Rgba{1, 2, 4, 0}));
}

TEST(SaverDispatch, ExtensionPicksTheWriterInAnyCase)
{
    SurfacePtr s = patternSurface(5, 3, RGBA32);
    const std::pair<const char*, int> cases[] = {{"a.Bmp", 'B'},  {"b.bmp", 'B'},  {"c.BMP", 'B'},  {"d.png", 0x89},
                                                 {"e.pNg", 0x89}, {"f.jpg", 0xFF}, {"g.JPEG", 0xFF}, {"h.x.jpeg", 0xFF}};
    for (const auto& c : cases) {
        SDL_ClearError(); // a stale text would stop the BMP writer
        EXPECT_EQ(WPX_Save(s.get(), c.first), 0) << c.first << ": " << SDL_GetError();
        EXPECT_EQ(firstByte(c.first), c.second) << c.first;
    }
    EXPECT_EQ(WPX_SaveTyped(s.get(), "typed.bmp", "png"), 0);
    EXPECT_EQ(firstByte("typed.bmp"), 0x89);
}

TEST(SaverDispatch, RejectedNamesLeaveAnEmptyFile)
{
    mkdir("folder.d", 0755);
    SurfacePtr s = patternSurface(4, 2, BGRX32);
    const std::pair<const char*, int> cases[] = {{"noextension", 2}, {"picture.gif", 4},
                                                 {"picture.", 4},    {"folder.d/picture", 4}, // type "d/picture"
                                                 {"picture.JP", 4},  {"picture.jpegx", 4}};
    for (const auto& c : cases) {
        std::remove(c.first);
        EXPECT_EQ(WPX_Save(s.get(), c.first), c.second) << c.first;
        EXPECT_STREQ(SDL_GetError(), c.second == 2 ? "Passed a NULL type" : "Unsupported image format");
        EXPECT_EQ(firstByte(c.first), EOF) << c.first; // created, nothing in it
    }
    EXPECT_EQ(WPX_SaveTyped(s.get(), "typed.png", nullptr), 2);

    SDL_ClearError();
    EXPECT_EQ(WPX_Save(s.get(), "missing-folder/x.png"), 1);
    EXPECT_STRNE(SDL_GetError(), "");
    EXPECT_EQ(WPX_SaveTyped(s.get(), "missing-folder/x.png", "PNG"), 1);
}

TEST(SaverDispatch, StreamResultsAndClosing)
{
    SurfacePtr s = patternSurface(3, 2, BGRA32);
    EXPECT_EQ(WPX_Save_RW(s.get(), nullptr, 1, "BMP"), 1);
    EXPECT_STREQ(SDL_GetError(), "Passed a NULL data source");

    const struct {
        bool seekable;
        size_t budget;
        int freedst;
        const char* type;
        int result;
        const char* text;
    } cases[] = {
        {true, SIZE_MAX, 1, nullptr, 2, "Passed a NULL type"},
        {false, SIZE_MAX, 1, "BMP", 3, "Can't seek in this data source"},
        {false, SIZE_MAX, 0, "BMP", 3, "Can't seek in this data source"},
        {true, SIZE_MAX, 1, "TIFF", 4, "Unsupported image format"},
        {true, 0, 1, "bmp", 10, "WPX_bmp: Error has occured while writing data"},
        {true, 0, 0, "bmp", 10, "WPX_bmp: Error has occured while writing data"},
        {true, SIZE_MAX, 1, "bmp", 0, ""},
    };
    for (const auto& c : cases) {
        StreamState st;
        st.seekable = c.seekable;
        st.writeBudget = c.budget;
        SDL_RWops* rw = openStream(st);
        SDL_ClearError();
        EXPECT_EQ(WPX_Save_RW(s.get(), rw, c.freedst, c.type), c.result) << c.text;
        EXPECT_STREQ(SDL_GetError(), c.text);
        EXPECT_EQ(st.closes, c.freedst) << c.text;
        if (!c.freedst)
            SDL_RWclose(rw);
    }
}

TEST(SaverDispatch, WritesFromTheStreamsCurrentPosition)
{
    SurfacePtr s = patternSurface(3, 2, BGRA32);
    StreamState st;
    SDL_RWops* rw = openStream(st);
    SDL_RWwrite(rw, "abc", 1, 3);
    SDL_ClearError();
    ASSERT_EQ(WPX_Save_RW(s.get(), rw, 1, "BMP"), 0);
    ASSERT_EQ(st.data.size(), 3u + 78u);
    EXPECT_EQ(std::string(st.data.begin(), st.data.begin() + 5), "abcBM");
}

namespace {

int saveWithSettings(SDL_Surface* s, const char* type, const WPX_SaveSettings* settings, Bytes& out)
{
    StreamState st;
    SDL_RWops* rw = openStream(st);
    SDL_ClearError();
    const int result = WPX_SaveEx_RW(s, rw, type, settings);
    out = st.data;
    EXPECT_EQ(st.closes, 0) << "the stream stays open";
    SDL_RWclose(rw);
    return result;
}

struct StopCheck {
    int asked = 0;
    int stopAt = -1; // the check that says stop, counted from 1
    static int check(void* data)
    {
        auto& self = *static_cast<StopCheck*>(data);
        return ++self.asked == self.stopAt ? 1 : 0;
    }
};

} // namespace

TEST(SaverSettings, PlainAndReferenceSettingsWriteTheBytesOfTheStreamSave)
{
    // RGB565 goes through the per-pixel rules on either kernel set; the
    // others through the direct row copies unless the reference is asked.
    for (const Layout* layout : {&RGBA32, &BGRA32, &RGB24, &RGB565}) {
        SurfacePtr s = patternSurface(37, 70, *layout);
        for (const char* type : {"bmp", "png", "jpg"}) {
            Bytes plain;
            StreamState st;
            SDL_RWops* rw = openStream(st);
            ASSERT_EQ(WPX_Save_RW(s.get(), rw, 1, type), 0);
            plain = st.data;
            Bytes viaNull, viaReference;
            ASSERT_EQ(saveWithSettings(s.get(), type, nullptr, viaNull), 0);
            WPX_SaveSettings reference{};
            reference.referenceRows = 1;
            ASSERT_EQ(saveWithSettings(s.get(), type, &reference, viaReference), 0);
            EXPECT_TRUE(viaNull == plain) << layout->name << " " << type;
            EXPECT_TRUE(viaReference == plain) << layout->name << " " << type;
        }
    }
}

TEST(SaverSettings, TheStopCheckEndsEveryWriterBetweenChunksOfRows)
{
    // 150 rows: the writers ask after each chunk of 64 rows, the pieces of
    // a PNG file with one filter before each piece.
    SurfacePtr s = patternSurface(40, 150, RGBA32);
    const struct {
        const char* type;
        int filter;
        const char* text;
    } cases[] = {{"bmp", 0, "WPX_bmp: Save stopped"},
                 {"png", WPX_PNG_FILTER_DEFAULT, "WPX_png: Save stopped"},
                 {"png", WPX_PNG_FILTER_NONE, "WPX_png: Save stopped"},
                 {"jpg", 0, "WPX_jpg: Save stopped"}};
    for (const auto& c : cases) {
        StopCheck never;
        WPX_SaveSettings settings{};
        settings.pngFilter = c.filter;
        settings.shouldStop = &StopCheck::check;
        settings.abortData = &never;
        Bytes whole;
        ASSERT_EQ(saveWithSettings(s.get(), c.type, &settings, whole), 0) << c.type;
        EXPECT_GE(never.asked, 1) << c.type;

        StopCheck first;
        first.stopAt = 1;
        settings.abortData = &first;
        Bytes part;
        EXPECT_EQ(saveWithSettings(s.get(), c.type, &settings, part), WPX_SAVE_STOPPED) << c.type;
        EXPECT_STREQ(SDL_GetError(), c.text);
        EXPECT_EQ(first.asked, 1) << c.type << ": nothing is asked after the stop";
        EXPECT_LT(part.size(), whole.size()) << c.type;
    }
    // A picture of one chunk is never stopped.
    SurfacePtr small = patternSurface(40, 64, RGBA32);
    StopCheck always;
    always.stopAt = 1;
    WPX_SaveSettings settings{};
    settings.shouldStop = &StopCheck::check;
    settings.abortData = &always;
    Bytes out;
    EXPECT_EQ(saveWithSettings(small.get(), "bmp", &settings, out), 0);
    EXPECT_EQ(always.asked, 0);
}
