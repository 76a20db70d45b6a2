// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// What the page's script calls: it fetches or picks the level's files and hands every event
// over; every rule, every message and every decision is made here.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "GameError.h"
#include "WebFiles.h"
#include "WebRules.h"
#include "WindowLayout.h"
#include "frmGame.h"

namespace vornak::web {

namespace {

std::unique_ptr<frmGame> game;
LayoutLetters letters = LayoutLetters::Unknown;
std::string answer;

// clang-format off
EM_JS(void, PlaceElement, (const char* id, double left, double top, double width, double height), {
    const style = document.getElementById(UTF8ToString(id)).style;
    style.left = left + "px";
    style.top = top + "px";
    style.width = width + "px";
    style.height = height + "px";
});
EM_JS(void, SetFontSize, (const char* id, double pixels), {
    document.getElementById(UTF8ToString(id)).style.fontSize = pixels + "px";
});
EM_JS(void, SetKeyBarColours, (int fill, int edge), {
    const style = document.getElementById("keys").style;
    const css = (rgb) => "#" + rgb.toString(16).padStart(6, "0");
    style.backgroundColor = css(fill);
    style.borderColor = css(edge);
});
// clang-format on

// The default button font's height at zoom 1, in game pixels, as on Windows.
constexpr double ButtonFontPixels = 12;
// The level's name stands in the free strip beside the playfield, under the key bar.
constexpr ElementPlace LevelNamePlace{328, 96, 81, 136};
constexpr double LevelNameFontPixels = 10;

void Place(const char* id, const ElementPlace& place, double scale) {
    PlaceElement(id, place.left * scale, place.top * scale, place.width * scale,
                 place.height * scale);
}

const char* Answer(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

}  // namespace

}  // namespace vornak::web

using namespace vornak;
using namespace vornak::web;

extern "C" {

// The folder of ?level=NAME as a URL prefix, or "" after saying that there is no such level.
EMSCRIPTEN_KEEPALIVE const char* vornak_level_folder(const char* name) {
    if (const auto folder = BundledLevelFolder(name)) {
        return Answer("./" + *folder);
    }
    ShowMessage("There is no bundled level named " + QuoteForMessage(name) +
                ". The levels are circuit, oval, maze and figure8.");
    return Answer("");
}

// A new level: the game and the files of the last one go.
EMSCRIPTEN_KEEPALIVE void vornak_begin_level() {
    game.reset();
    PageLevelFiles().Clear();
}

// Returns whether the file was taken; when not, the page shows why and the level stops.
EMSCRIPTEN_KEEPALIVE int vornak_put_file(const char* name, const std::uint8_t* bytes,
                                         std::size_t size) {
    try {
        PageLevelFiles().Put(name, std::string(reinterpret_cast<const char*>(bytes), size));
        return 1;
    } catch (const GameError& error) {
        ShowMessage(error.what());
        return 0;
    }
}

// status 0: the request failed without an answer.
EMSCRIPTEN_KEEPALIVE void vornak_put_unreadable(const char* name, int status,
                                                const char* statusText) {
    PageLevelFiles().PutUnreadable(name, status == 0
                                             ? std::string("the web server did not answer")
                                             : "the web server answered " + std::to_string(status) +
                                                   (*statusText != '\0' ? " " : "") + statusText);
}

EMSCRIPTEN_KEEPALIVE double vornak_bytes_left() {
    return static_cast<double>(PageLevelFiles().BytesLeft());
}

EMSCRIPTEN_KEEPALIVE void vornak_too_large(const char* name) {
    try {
        LevelFiles::RefuseTooLarge(name);
    } catch (const GameError& error) {
        ShowMessage(error.what());
    }
}

// The pictures to fetch once the three level files are in, one name a line.
EMSCRIPTEN_KEEPALIVE const char* vornak_pictures_to_fetch() {
    std::string names;
    for (const std::string& name : PicturesToFetch(PageLevelFiles())) {
        names += name + "\n";
    }
    return Answer(names);
}

EMSCRIPTEN_KEEPALIVE const char* vornak_url_of(const char* name) {
    return Answer(PercentEncodeName(name));
}

EMSCRIPTEN_KEEPALIVE int vornak_start() {
    game = std::make_unique<frmGame>();
    game->SetLayoutLetters(letters);
    if (!game->Form_Load()) {
        return 0;
    }
    game->Show();
    return 1;
}

// What the keys KeyA to KeyZ type on the player's layout, one a line; empty when unknown.
EMSCRIPTEN_KEEPALIVE void vornak_layout(const char* lettersOfKeys) {
    std::vector<std::string> typed;
    std::istringstream lines(lettersOfKeys);
    for (std::string line; std::getline(lines, line);) {
        typed.push_back(line);
    }
    letters = LayoutLettersOf(typed);
    if (game) {
        game->SetLayoutLetters(letters);
    }
}

// The viewport in CSS pixels and the device's pixels per CSS pixel.
EMSCRIPTEN_KEEPALIVE int vornak_viewport(double width, double height, double devicePixelRatio) {
    const int zoom = PageZoom(width * devicePixelRatio, height * devicePixelRatio);
    const double scale = zoom / devicePixelRatio;
    Place("game", {0, 0, ClientWidth, ClientHeight}, scale);
    Place("playfield", {0, 0, ClientWidth, ClientHeight}, scale);
    Place("run", cmdRunPlace, scale);
    Place("keys", picKeyReceiverPlace, scale);
    Place("level-name", LevelNamePlace, scale);
    SetFontSize("run", ButtonFontPixels * scale);
    SetFontSize("level-name", LevelNameFontPixels * scale);
    return zoom;
}

// A key went down with the key bar focused; returns whether the page must not act on it too.
EMSCRIPTEN_KEEPALIVE int vornak_key_down(const char* code, const char* key, const char* typed,
                                         int shift, int control, int alt) {
    if (!game) {
        return ScrollsThePage(key) ? 1 : 0;
    }
    return game->OnKeyDown(code, key, typed, ShiftState(shift != 0, control != 0, alt != 0)) ? 1
                                                                                             : 0;
}

EMSCRIPTEN_KEEPALIVE void vornak_run_click() {
    if (game) {
        game->cmdRun_Click();
    }
}

EMSCRIPTEN_KEEPALIVE int vornak_scrolls_the_page(const char* key) {
    return ScrollsThePage(key) ? 1 : 0;
}

// The page itself, and none of its elements, got the focus.
EMSCRIPTEN_KEEPALIVE void vornak_page_focus() {
    if (game) {
        game->Form_GotFocus();
    }
}

// Also after Tab on the button, which hands the keys back.
EMSCRIPTEN_KEEPALIVE void vornak_click_outside_controls() {
    if (game) {
        game->ClickOutsideControls();
    }
}

EMSCRIPTEN_KEEPALIVE void vornak_keys_focus(int steering) {
    const KeyBarColours colours = KeyBarColoursFor(steering != 0 && game && !game->HasFailed());
    SetKeyBarColours(static_cast<int>(colours.fill), static_cast<int>(colours.edge));
}

EMSCRIPTEN_KEEPALIVE int vornak_playing() {
    return game && !game->HasFailed() ? 1 : 0;
}

}  // extern "C"

int main() {
    return 0;
}
