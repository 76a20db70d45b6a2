// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The page's rules that need no browser: file names in URLs, the zoom, the keys, the levels a
// link may name, the files fetched before a level starts, and what the page holds of them.
#include <gtest/gtest.h>

#include <algorithm>

#include "GameError.h"
#include "LevelFiles.h"
#include "Picture.h"
#include "WebRules.h"

namespace vornak::web {
namespace {

// Every byte outside the unreserved few is escaped, so that no name can leave the level's
// folder or end its URL early.
TEST(PageUrls, EscapeEveryByteButTheUnreservedOnes) {
    EXPECT_EQ(PercentEncodeName("Tile .bmp"), "Tile%20.bmp");
    EXPECT_EQ(PercentEncodeName("Tile\\.bmp"), "Tile%5C.bmp");
    EXPECT_EQ(PercentEncodeName("Tile/.bmp"), "Tile/.bmp") << "a real folder inside the level's";
    EXPECT_EQ(PercentEncodeName("Tile\xC3\xA9.bmp"), "Tile%C3%A9.bmp");
    EXPECT_EQ(PercentEncodeName("Car1../../x?#%.gif"), "Car1..%2F..%2Fx%3F%23%25.gif");
    EXPECT_EQ(PercentEncodeName("AZaz09-._~"), "AZaz09-._~");
}

// The largest whole zoom at which 417 x 241 game pixels fit the viewport's device pixels.
TEST(PageZoom, IsTheLargestWholeFitAndAtLeastOne) {
    EXPECT_EQ(PageZoom(417, 241), 1);
    EXPECT_EQ(PageZoom(833, 10000), 1);
    EXPECT_EQ(PageZoom(834, 482), 2);
    EXPECT_EQ(PageZoom(834, 481.9), 1);
    EXPECT_EQ(PageZoom(3840, 2160), 8);
    EXPECT_EQ(PageZoom(300, 200), 1);
    EXPECT_EQ(PageZoom(0, 0), 1);
    EXPECT_EQ(PageZoom(10000, 438 * 1.1), 1) << "481.8 device pixels";
}

std::vector<std::string> Letters(const std::string& keys) {
    std::vector<std::string> letters;
    for (const char key : keys) {
        letters.emplace_back(1, key);
    }
    return letters;
}

// Letters follow the layout as on Windows: by what a key types on a Latin layout, by its US
// place on any other, and without a layout map by what it types, where that is a Latin letter.
TEST(PageKeys, FollowTheLayoutAsTheDesktopDoes) {
    const LayoutLetters azerty =
        LayoutLettersOf(Letters("qbcdefghijklmnoparstuvzxyw"));  // KeyA types q, KeyW z ...
    ASSERT_EQ(azerty, LayoutLetters::Latin);
    EXPECT_EQ(VirtualKeyOf("KeyZ", "w", "w", azerty), 'W') << "the key labelled W";
    EXPECT_EQ(VirtualKeyOf("KeyW", "Z", "z", azerty), 'Z') << "Shift changes nothing";
    EXPECT_EQ(VirtualKeyOf("KeyQ", "@", "a", azerty), 'A') << "nor does AltGr";

    const std::vector<std::string> russian{"ф", "и", "с", "в", "у", "а", "п", "р", "ш",
                                           "о", "л", "д", "ь", "т", "щ", "з", "й", "к",
                                           "ы", "е", "г", "м", "ц", "ч", "н", "я"};
    const LayoutLetters cyrillic = LayoutLettersOf(russian);
    ASSERT_EQ(cyrillic, LayoutLetters::NonLatin);
    EXPECT_EQ(VirtualKeyOf("KeyW", "ц", "ц", cyrillic), 'W');
    EXPECT_EQ(VirtualKeyOf("KeyD", "в", "в", cyrillic), 'D');

    ASSERT_EQ(LayoutLettersOf({}), LayoutLetters::Unknown);
    const auto unknown = LayoutLetters::Unknown;
    EXPECT_EQ(VirtualKeyOf("KeyZ", "w", "", unknown), 'W') << "a Latin letter by what it types";
    EXPECT_EQ(VirtualKeyOf("KeyW", "z", "", unknown), 'Z');
    EXPECT_EQ(VirtualKeyOf("KeyW", "ц", "", unknown), 'W') << "another script by its place";
    EXPECT_EQ(VirtualKeyOf("KeyW", ";", "", unknown), 186) << "punctuation steers nothing";
    EXPECT_EQ(VirtualKeyOf("KeyA", "é", "", unknown), 'A');

    for (const auto letters : {azerty, cyrillic, unknown}) {
        EXPECT_EQ(VirtualKeyOf("ArrowLeft", "ArrowLeft", "", letters), 37);
        EXPECT_EQ(VirtualKeyOf("Numpad8", "ArrowUp", "", letters), 38);
        EXPECT_EQ(VirtualKeyOf("ArrowRight", "ArrowRight", "", letters), 39);
        EXPECT_EQ(VirtualKeyOf("ArrowDown", "ArrowDown", "", letters), 40);
        EXPECT_EQ(VirtualKeyOf("Space", " ", "", letters), 32);
        EXPECT_EQ(VirtualKeyOf("F5", "F5", "", letters), 116);
        EXPECT_EQ(VirtualKeyOf("Unidentified", "Dead", "", letters), 0);
    }
    EXPECT_TRUE(ScrollsThePage("ArrowDown"));
    EXPECT_TRUE(ScrollsThePage(" "));
    EXPECT_FALSE(ScrollsThePage("w"));
}

// Alt+Left is Back and Cmd+Left is Back on a Mac: with a modifier held, the browser keeps it.
TEST(PageKeys, OnlyUnmodifiedScrollingKeysAreKeptFromTheBrowser) {
    EXPECT_TRUE(PreventsBrowserAction("ArrowLeft", false, false, false));
    EXPECT_TRUE(PreventsBrowserAction("End", false, false, false));
    EXPECT_FALSE(PreventsBrowserAction("w", false, false, false));
    EXPECT_FALSE(PreventsBrowserAction("ArrowLeft", true, false, false));
    EXPECT_FALSE(PreventsBrowserAction("Home", false, true, false));
    EXPECT_FALSE(PreventsBrowserAction("ArrowLeft", false, false, true));
}

// A link names one of the bundled levels, and nothing else is ever fetched.
TEST(PageLevels, OnlyTheBundledOnesByName) {
    EXPECT_EQ(BundledLevelFolder(""), "");
    EXPECT_EQ(BundledLevelFolder("circuit"), "");
    EXPECT_EQ(BundledLevelFolder("maze"), "levels/maze/");
    EXPECT_EQ(BundledLevelFolder("figure8"), "levels/figure8/");
    for (const char* other : {"Maze", "../maze", "levels/oval", "oval/", "x"}) {
        EXPECT_EQ(BundledLevelFolder(other), std::nullopt) << other;
    }
}

// The page fetches exactly what the loader will open: the map's pictures by its own skip rule,
// all eight car pictures, and whatever a heading names.
TEST(PageLevels, FetchWhatTheLoaderWillOpen) {
    LevelFiles files;
    files.Put("TilesMap.txt", std::string("g \r\n\0.", 6));
    files.Put("Cars.txt", "2\r\n8\r\nsideways\r\n3\r\n8\r\n../up\r\n");
    const std::vector<std::string> names = PicturesToFetch(files);
    for (const char* expected : {"Tileg.bmp", "Tile .bmp", "Tile..bmp", "Car1up.gif",
                                 "Car2right.gif", "Car1sideways.gif", "Car2../up.gif"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    }
    EXPECT_EQ(names.size(), 3U + 8U + 2U) << "no picture for a skipped byte";
    LevelFiles none;
    EXPECT_EQ(PicturesToFetch(none).size(), 8U) << "a level without files";
}

// The level's files in memory: a budget for all of them together, a server's refusal said when
// the file is opened, and no file ever created.
TEST(PageLevels, FilesAreBoundedAndRefusalsNamed) {
    LevelFiles files;
    files.Put("TilesMap.txt", std::string(LevelFiles::ByteBudget - 10, 'g'));
    EXPECT_EQ(files.BytesLeft(), 10U);
    try {
        files.Put("Tileg.bmp", std::string(11, 'x'));
        FAIL() << "over the budget";
    } catch (const GameError& error) {
        EXPECT_EQ(error.File(), "Tileg.bmp");
        EXPECT_NE(std::string(error.what()).find("64 MiB"), std::string::npos) << error.what();
    }
    files.PutUnreadable("Cars.txt", "the web server answered 403 Forbidden");
    OpenedFile cars = files.Open("Cars.txt");
    ASSERT_TRUE(cars.reader);
    char byte = 0;
    EXPECT_THROW(
        {
            try {
                cars.reader->Read(&byte, 1);
            } catch (const GameError& error) {
                EXPECT_STREQ(error.what(),
                             "Cars.txt cannot be read: the web server answered 403 Forbidden");
                throw;
            }
        },
        GameError);
    EXPECT_EQ(files.Open("BlocksMap.txt").kind, FileKind::Missing);
    EXPECT_THROW(files.CreateEmpty("BlocksMap.txt"), GameError);
    files.Clear();
    EXPECT_EQ(files.BytesLeft(), LevelFiles::ByteBudget);
    EXPECT_EQ(files.Open("TilesMap.txt").kind, FileKind::Missing);
}

// Bytes count as they arrive, so that fetches side by side share one budget; the bytes put
// afterwards are the ones reserved, not counted twice.
TEST(PageLevels, ReservationsShareOneBudget) {
    LevelFiles files;
    files.Reserve("Car1up.gif", LevelFiles::ByteBudget / 2);
    files.Reserve("Car2up.gif", LevelFiles::ByteBudget / 2 - 1);
    EXPECT_THROW(files.Reserve("Car1up.gif", 2), GameError);
    files.Put("Car2up.gif", std::string(LevelFiles::ByteBudget / 2 - 1, 'x'));
    EXPECT_EQ(files.BytesLeft(), 1U);
    files.Put("Tileg.bmp", "x");
    EXPECT_EQ(files.BytesLeft(), 0U);
}

// Only the latest load counts, and a stopped one no longer does; each starts with no files.
TEST(PageLevels, OneLoadAtATime) {
    LevelLoads loads;
    const int first = loads.Begin();
    loads.Files().Put("Tileg.bmp", std::string(1000, 'g'));
    const int second = loads.Begin();
    EXPECT_FALSE(loads.Counts(first));
    EXPECT_TRUE(loads.Counts(second));
    EXPECT_EQ(loads.Files().Open("Tileg.bmp").kind, FileKind::Missing);
    EXPECT_EQ(loads.Files().BytesLeft(), LevelFiles::ByteBudget);
    loads.Stop();
    EXPECT_FALSE(loads.Counts(second));
    EXPECT_TRUE(loads.Counts(loads.Begin()));
}

// Each picture of a level is decoded once, refusal included, until its files change; beyond the
// budget the least recently used is decoded again.
TEST(PageLevels, PicturesAreDecodedOnceWhileTheirFilesStay) {
    LevelFiles files;
    files.Put("Tileg.bmp", "BM");
    int decoded = 0;
    const auto square = [&decoded](int side) {
        return [&decoded, side] {
            ++decoded;
            Picture picture;
            picture.width = picture.height = side;
            picture.pixels.assign(static_cast<std::size_t>(side) * side, 0xFF00FF00U);
            return picture;
        };
    };
    for (int cell = 0; cell < 300; ++cell) {
        EXPECT_EQ(files.Decoded("Tileg.bmp", PictureFormat::Bmp, square(16)).width, 16);
    }
    EXPECT_EQ(decoded, 1);
    const auto refused = [&decoded]() -> Picture {
        ++decoded;
        throw GameError("Car1up.gif", "cannot be read as a GIF picture: it is not one");
    };
    for (int move = 0; move < 2; ++move) {
        try {
            files.Decoded("Car1up.gif", PictureFormat::Gif, refused);
            FAIL() << "the refusal is kept";
        } catch (const GameError& error) {
            EXPECT_STREQ(error.what(), "Car1up.gif cannot be read as a GIF picture: it is not one");
        }
    }
    EXPECT_EQ(decoded, 2);
    files.Decoded("Tileg.bmp", PictureFormat::Gif, square(16));  // another use, another verdict
    EXPECT_EQ(decoded, 3);
    files.Put("Tilev.bmp", "BM");  // files that change drop what was decoded from them
    files.Decoded("Tileg.bmp", PictureFormat::Bmp, square(16));
    EXPECT_EQ(decoded, 4);

    DecodedPictures pictures;
    for (const char* name : {"Tilea.bmp", "Tileb.bmp", "Tilea.bmp", "Tilec.bmp", "Tilea.bmp"}) {
        pictures.Get(name, PictureFormat::Bmp, square(3600));  // two fit, three do not
    }
    EXPECT_EQ(decoded, 4 + 3) << "Tilea stayed, as the most recently used";
    EXPECT_LE(pictures.BytesHeld(), DecodedPictures::PixelByteBudget);
    pictures.Get("Tileb.bmp", PictureFormat::Bmp, square(3600));
    EXPECT_EQ(decoded, 4 + 4) << "Tileb had given way to Tilec";
}

// Each way a file cannot be read says its own reason.
TEST(PageLevels, UnreadableFilesSayWhy) {
    EXPECT_EQ(UnreadableReason(Unreadable::NoAnswer, 0, ""), "the web server did not answer");
    EXPECT_EQ(UnreadableReason(Unreadable::ServerStatus, 403, "Forbidden"),
              "the web server answered 403 Forbidden");
    EXPECT_EQ(UnreadableReason(Unreadable::BrokenTransfer, 0, "network error"),
              "the transfer broke off before its end (network error)");
    EXPECT_EQ(UnreadableReason(Unreadable::Blocked, 0, ""),
              "it was sent to an address this page may not read");
    EXPECT_NE(
        UnreadableReason(Unreadable::PickedFile, 0, "NotReadableError").find("(NotReadableError)"),
        std::string::npos);
}

}  // namespace
}  // namespace vornak::web
