#ifndef TESTS_ENGINE_CONVERTFIXTURES_H
#define TESTS_ENGINE_CONVERTFIXTURES_H

#include "LogFile.h"
#include "auxlib/draw/Surface.h"
#include "auxlib/utility/SDLInitializer.h"
#include "engine/Pixwright_DLL.h"

#include <SDL.h>
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// A fresh temporary folder per test, removed afterwards.
class TempFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/pixwright-test-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        dir = templ;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string path(const std::string& name) const { return dir + "/" + name; }
    bool exists(const std::string& name) const
    {
        struct stat st;
        return stat(path(name).c_str(), &st) == 0;
    }

    std::string dir;
};

// The error boxes the engine has shown, in order.
inline std::vector<std::string>& shownBoxes()
{
    static std::vector<std::string> boxes;
    return boxes;
}

inline void captureBox(const char* caption, const char* text)
{
    EXPECT_STREQ(caption, "エラー発生！");
    shownBoxes().push_back(text);
}

// Conversions into a temporary folder with the engine's boxes captured and
// the default transparent colour set. Afterwards nothing may be left held:
// every picture released and SDL stopped.
class ConvertTest : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        boxes.clear();
        setErrorBoxHandler(captureBox);
        setColorKey(0x00, 0x75, 0x75);
        std::remove("stderr.txt");
    }
    void TearDown() override
    {
        EXPECT_EQ(auxlib::utility::SDLInitializer::startCount(), 0);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
        setErrorBoxHandler(nullptr);
        std::remove("stderr.txt");
        TempFolder::TearDown();
    }

    std::vector<std::string>& boxes = shownBoxes();
};

// The files directly in a folder (names without a leading dot), name to
// bytes.
inline std::map<std::string, std::string> readFolder(const std::string& folder)
{
    std::map<std::string, std::string> files;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            std::ifstream in(folder + "/" + e->d_name, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            files[e->d_name] = bytes.str();
        }
        closedir(d);
    }
    return files;
}

using SdlPicture = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

// Written files are read back with the engine's readers, which their own
// tests hold to the surfaces SDL_image made.
inline SdlPicture decode(const std::string& file)
{
    auxlib::draw::Surface picture;
    if (picture.load(file) != auxlib::draw::Success)
        return SdlPicture(nullptr, SDL_FreeSurface);
    SDL_Surface* s = picture.sdl();
    ++s->refcount; // outlives the handle
    return SdlPicture(s, SDL_FreeSurface);
}

inline auxlib::draw::Rgba pixelOf(SDL_Surface* s, int x, int y)
{
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 v = 0;
    switch (s->format->BytesPerPixel) {
    case 1:
        v = *p;
        break;
    case 3:
        v = p[0] | p[1] << 8 | p[2] << 16;
        break;
    case 4:
        v = *reinterpret_cast<const Uint32*>(p);
        break;
    default:
        v = *reinterpret_cast<const Uint16*>(p);
        break;
    }
    auxlib::draw::Rgba c;
    SDL_GetRGBA(v, s->format, &c.r, &c.g, &c.b, &c.a);
    return c;
}

// A 24-bit picture of w x h whose pixel (x, y) is (x*40+5, y*50+7, x+y, 255),
// written as BMP so the test depends on nothing but SDL.
inline void writeGradientBmp(const std::string& file, int w, int h)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
            p[0] = static_cast<Uint8>(x * 40 + 5);
            p[1] = static_cast<Uint8>(y * 50 + 7);
            p[2] = static_cast<Uint8>(x + y);
        }
    SDL_SaveBMP(s, file.c_str());
    SDL_FreeSurface(s);
}

inline auxlib::draw::Rgba gradientAt(int x, int y)
{
    return {static_cast<Uint8>(x * 40 + 5), static_cast<Uint8>(y * 50 + 7), static_cast<Uint8>(x + y), 255};
}

inline ::testing::AssertionResult sameColour(auxlib::draw::Rgba got, auxlib::draw::Rgba want)
{
    if (got == want)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << int(got.r) << "," << int(got.g) << "," << int(got.b) << ","
                                         << int(got.a) << ") instead of (" << int(want.r) << "," << int(want.g)
                                         << "," << int(want.b) << "," << int(want.a) << ")";
}

#endif
