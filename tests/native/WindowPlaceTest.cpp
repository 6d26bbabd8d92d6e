#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/WindowPlace.h"
#include "tests/native/TestFiles.h"

namespace {

TEST(WindowPlace, IsRememberedInAFileOfItsOwnAndABadFileGivesTheDefaults) {
    ScratchFolder folder;
    const std::string path = folder.path() + "state/vizorama/window";
    WindowPlace place;
    place.rect = {-300, 40, 1280, 540};
    place.placed = true;
    place.fullScreen = true;
    ASSERT_TRUE(writeWindowPlace(path, place));  // its folder is made
    WindowPlace read;
    ASSERT_TRUE(readWindowPlace(path, read));
    EXPECT_EQ(read.rect, place.rect);
    EXPECT_TRUE(read.placed && read.fullScreen);

    // Edited by hand: another order, CR LF ends, a line it does not know.
    writeTextFile(path, "fullscreen=0\r\nheight=300\r\nwidth=400\r\nmonitor=2\r\ny=5\r\nx=6\r\n");
    ASSERT_TRUE(readWindowPlace(path, read));
    EXPECT_EQ(read.rect, (Rect{6, 5, 400, 300}));
    EXPECT_FALSE(read.fullScreen);

    // Anything missing or out of bounds: the file is not taken, the place stays as it was.
    const std::string whole = "x=1\ny=2\nwidth=300\nheight=200\nfullscreen=0\n";
    ASSERT_TRUE(parseWindowPlace(whole, read));
    for (const std::string& bad :
         {std::string(), std::string("x=1\ny=2\nwidth=300\nheight=200\n"), whole + "width=8\n",
          whole + "height=20000\n", whole + "x=99999999999\n", whole + "y=\n",
          whole + "width=300px\n", whole + "fullscreen=2\n", std::string("\x00\xff\x7f", 3)}) {
        WindowPlace untouched;
        EXPECT_FALSE(parseWindowPlace(bad, untouched)) << bad;
        EXPECT_FALSE(untouched.placed);
        EXPECT_EQ(untouched.rect, Rect{});
        writeTextFile(path, bad);
        EXPECT_FALSE(readWindowPlace(path, untouched));
    }
    WindowPlace none;
    EXPECT_FALSE(readWindowPlace(folder.path() + "missing", none));
    EXPECT_FALSE(readWindowPlace("", none));
    writeTextFile(path, whole + std::string(5000, '#'));  // longer than such a file can be
    EXPECT_FALSE(readWindowPlace(path, none));
    EXPECT_FALSE(none.placed);

    // A file where its folder should be: nothing is written.
    writeTextFile(folder.path() + "file", "x");
    EXPECT_FALSE(writeWindowPlace(folder.path() + "file/vizorama/window", place));
    EXPECT_FALSE(writeWindowPlace("", place));
    EXPECT_EQ(readTextFile(folder.path() + "file"), "x");
}

TEST(WindowPlace, StaysOnADisplayOrIsPutBackOnOne) {
    // A large display and a smaller one to its right.
    const std::vector<Rect> displays = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    auto at = [](Rect rect) {
        WindowPlace p;
        p.rect = rect;
        p.placed = true;
        return p;
    };
    for (const Rect& kept : {Rect{2000, 100, 960, 405}, Rect{1500, 500, 960, 405},  // across both
                            Rect{-896, -373, 960, 405},  // 64 x 32 of it in the top left corner
                            Rect{3180, 1014, 20, 10}}) {  // small and whole
        WindowPlace p = placeOnDisplays(at(kept), displays);
        EXPECT_EQ(p.rect, kept) << kept.x << "," << kept.y;
    }
    // Off every display (a display taken away, or too little of it showing): centred on the
    // first, the one preferred.
    for (const Rect& lost : {Rect{-2000, 100, 960, 405}, Rect{3200 - 40, 0, 960, 405},
                            Rect{100, 1080 - 20, 960, 405}, Rect{5000, 5000, 960, 405}}) {
        WindowPlace p = placeOnDisplays(at(lost), displays);
        EXPECT_EQ(p.rect, (Rect{480, 337, 960, 405})) << lost.x << "," << lost.y;
    }
    // Larger than that display: made to fit it.
    EXPECT_EQ(placeOnDisplays(at({-5000, 0, 4000, 3000}), displays).rect, (Rect{0, 0, 1920, 1080}));
    // A window without a place yet is centred on the preferred display.
    WindowPlace unplaced;
    unplaced.rect = {0, 0, 960, 405};
    WindowPlace p = placeOnDisplays(unplaced, {displays[1], displays[0]});
    EXPECT_TRUE(p.placed);
    EXPECT_EQ(p.rect, (Rect{1920 + 160, 309, 960, 405}));
    // No displays known: as it was.
    EXPECT_EQ(placeOnDisplays(at({-5000, 0, 300, 200}), {}).rect, (Rect{-5000, 0, 300, 200}));
}

}  // namespace
