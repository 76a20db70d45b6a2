// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// What the page's script calls: it fetches or picks the level's files and hands every event
// over; every rule, every message and every decision is made here.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "Controls.h"
#include "GameError.h"
#include "PageLayout.h"
#include "TouchInput.h"
#include "WebFiles.h"
#include "WebRules.h"
#include "WindowLayout.h"
#include "frmGame.h"

namespace vornak::web {

namespace {

std::unique_ptr<frmGame> game;
LayoutLetters letters = LayoutLetters::Unknown;
PageState pageState = PageState::Loading;
std::string levelName;
std::string answer;
PageViewport viewport;
// Touch controls show where the primary pointer is coarse, and after the first touch anywhere.
bool coarsePointer = false;
bool touchSeen = false;
PageLayout layout;
TouchSteering touches;
GamepadSteering gamepads;

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
EM_JS(void, ShowPageControls, (int runEnabled, const char* levelName), {
    document.getElementById("run").disabled = !runEnabled;
    document.getElementById("level-name").textContent = UTF8ToString(levelName);
});
EM_JS(void, ClearPlayfield, (int rgb), {
    const canvas = document.getElementById("playfield");
    const context = canvas.getContext("2d");
    context.fillStyle = "#" + rgb.toString(16).padStart(6, "0");
    context.fillRect(0, 0, canvas.width, canvas.height);
});
EM_JS(void, CloseMessageBox, (), {
    document.getElementById("message").hidden = true;
});
EM_JS(void, SetRunFace, (double top, double right, double bottom, double left, int touch), {
    const style = document.getElementById("run").style;
    style.borderWidth = touch ? top + "px " + right + "px " + bottom + "px " + left + "px" : "";
});
EM_JS(void, ShowTouchLayout, (int touch), {
    VornakPage.touchLayout(touch !== 0);
});
EM_JS(int, MessageOpen, (), {
    return document.getElementById("message").hidden ? 0 : 1;
});
EM_JS(int, KeyBarFocused, (), {
    return document.activeElement === document.getElementById("keys") ? 1 : 0;
});
// clang-format on

// The default button font's height at zoom 1, in game pixels, as on Windows.
constexpr double ButtonFontPixels = 12;
// The level's name stands in the free strip beside the playfield, under the key bar.
constexpr ElementPlace LevelNamePlace{328, 96, 81, 136};
constexpr double LevelNameFontPixels = 10;
// What the name strip says while a level's files come in.
constexpr const char* LoadingText = "Loading\u2026";

void Place(const char* id, const ElementPlace& place, const PageBox& gameBox, double scale) {
    PlaceElement(id, gameBox.left + place.left * scale, gameBox.top + place.top * scale,
                 place.width * scale, place.height * scale);
}

void Place(const char* id, const PageBox& box) {
    PlaceElement(id, box.left, box.top, box.width, box.height);
}

bool TouchShown() {
    return coarsePointer || touchSeen;
}

int ApplyLayout() {
    layout = LayOutPage(viewport, TouchShown());
    const double scale = layout.zoom / viewport.devicePixelRatio;
    Place("game", layout.surface);
    Place("playfield", layout.game);
    Place("run", layout.runBox);
    const PageBox& face = layout.runFace;
    const PageBox& box = layout.runBox;
    SetRunFace(face.top - box.top, box.Right() - face.Right(), box.Bottom() - face.Bottom(),
               face.left - box.left, layout.touch ? 1 : 0);
    Place("keys", picKeyReceiverPlace, layout.game, scale);
    Place("level-name", LevelNamePlace, layout.game, scale);
    Place("pad1", layout.pads[0]);
    Place("pad2", layout.pads[1]);
    SetFontSize("run", ButtonFontPixels * scale);
    SetFontSize("level-name", LevelNameFontPixels * scale);
    ShowTouchLayout(layout.touch ? 1 : 0);
    return layout.zoom;
}

const char* Answer(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

bool Playing() {
    return pageState == PageState::Playing;
}

// A touch or a pad steers as a key would, after giving the keys back as a click does.
void SteerFromOutside(int keyCode) {
    if (game && Playing()) {
        game->ClickOutsideControls();
        game->picKeyReceiver_KeyDown(keyCode, 0);
    }
}

void ShowKeyBar(bool focused) {
    const KeyBarColours colours = KeyBarColoursFor(focused && Playing());
    SetKeyBarColours(static_cast<int>(colours.fill), static_cast<int>(colours.edge));
}

void SetPageState(PageState state) {
    pageState = state;
    ShowPageControls(RunButtonEnabled(state) ? 1 : 0,
                     state == PageState::Loading ? LoadingText : levelName.c_str());
    ShowKeyBar(KeyBarFocused() != 0);
}

// The load said why it cannot go on: nothing more of it counts, and the level has failed.
void StopLoad(const std::string& message) {
    PageLoads().Stop();
    SetPageState(PageState::Failed);
    ShowMessage(WithWhatToDo(message));
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
    SetPageState(PageState::Failed);
    ShowMessage("There is no bundled level named " + QuoteForMessage(name) +
                ". The levels are circuit, oval, maze and figure8: choose one below.");
    return Answer("");
}

// A new level, as a fresh window: the last game, its files and any message go, the playfield is
// cleared and the button reads "Start!" again. Returns the load's number.
EMSCRIPTEN_KEEPALIVE int vornak_begin_level(const char* displayName) {
    game.reset();
    const int attempt = PageLoads().Begin();
    levelName = displayName;
    CloseMessageBox();
    ClearPlayfield(static_cast<int>(PlayfieldFrame(1, 1).Background() & 0xFFFFFFU));
    ShowRunCaption(StartCaption);
    SetPageState(PageState::Loading);
    return attempt;
}

// Returns whether the load goes on: false for a load that no longer counts, and for bytes that
// would pass the level's budget, which the page then says, once.
EMSCRIPTEN_KEEPALIVE int vornak_reserve(int attempt, const char* name, double size) {
    if (!PageLoads().Counts(attempt)) {
        return 0;
    }
    try {
        PageLevelFiles().Reserve(name, static_cast<std::size_t>(size));
        return 1;
    } catch (const GameError& error) {
        StopLoad(error.what());
        return 0;
    }
}

// Returns whether the load goes on, as vornak_reserve.
EMSCRIPTEN_KEEPALIVE int vornak_put_file(int attempt, const char* name, const std::uint8_t* bytes,
                                         std::size_t size) {
    if (!PageLoads().Counts(attempt)) {
        return 0;
    }
    try {
        PageLevelFiles().Put(name, std::string(reinterpret_cast<const char*>(bytes), size));
        return 1;
    } catch (const GameError& error) {
        StopLoad(error.what());
        return 0;
    }
}

// A file that cannot be read; only the game's open of it fails, with the reason.
EMSCRIPTEN_KEEPALIVE void vornak_put_unreadable(int attempt, const char* name, int cause,
                                                int status, const char* detail) {
    if (PageLoads().Counts(attempt)) {
        PageLevelFiles().PutUnreadable(
            name, UnreadableReason(static_cast<Unreadable>(cause), status, detail));
    }
}

// A lone file dropped, or a folder picked with nothing in it.
EMSCRIPTEN_KEEPALIVE void vornak_not_a_level_folder(int droppedAFile) {
    ShowMessage(NotALevelFolderMessage(droppedAFile != 0));
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

EMSCRIPTEN_KEEPALIVE int vornak_start(int attempt) {
    if (!PageLoads().Counts(attempt)) {
        return 0;
    }
    game = std::make_unique<frmGame>([] { SetPageState(PageState::Failed); });
    game->SetLayoutLetters(letters);
    SetPageState(PageState::Playing);
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

// The viewport in CSS pixels, the device's pixels per CSS pixel, the safe-area insets, and
// whether the primary pointer is coarse. Returns the zoom.
EMSCRIPTEN_KEEPALIVE int vornak_viewport(double width, double height, double devicePixelRatio,
                                         double insetTop, double insetRight, double insetBottom,
                                         double insetLeft, int coarse) {
    viewport = {width,    height,     devicePixelRatio > 0 ? devicePixelRatio : 1,
                insetTop, insetRight, insetBottom,
                insetLeft};
    coarsePointer = coarse != 0;
    return ApplyLayout();
}

// One touch point on the game area, in CSS pixels from its top-left; phase as TouchPhase. A
// mouse pressing a pad's arrow comes here too, with touch 0.
EMSCRIPTEN_KEEPALIVE void vornak_touch(int id, int phase, double x, double y, int touch) {
    const auto touchPhase = static_cast<TouchPhase>(phase);
    if (touchPhase == TouchPhase::Start && game && Playing()) {
        game->ClickOutsideControls();
    }
    for (const int keyCode : touches.Touch(id, touchPhase, x, y, layout)) {
        SteerFromOutside(keyCode);
    }
    // The layout changes once the fingers are off, never under one.
    if (touch != 0 && !touchSeen && touchPhase >= TouchPhase::End && touches.Held() == 0) {
        touchSeen = true;
        if (!coarsePointer) {
            ApplyLayout();
        }
    }
}

// One gamepad's reading: buttons as bits by number, axes 0 and 1.
EMSCRIPTEN_KEEPALIVE void vornak_gamepad(int index, int standard, int buttons, double x, double y) {
    const std::vector<PadAction> actions =
        gamepads.Read(index, {standard != 0, static_cast<unsigned>(buttons), x, y});
    // With the message box open, a pad neither takes the keys from it nor plays.
    if (actions.empty() || MessageOpen() != 0) {
        return;
    }
    for (const PadAction& action : actions) {
        if (action.keyCode != 0) {
            SteerFromOutside(action.keyCode);
        } else if (game && Playing()) {
            game->cmdRun_Click();
        }
    }
}

// A car's standing request, for the page's tests to see what a touch or a pad asked for.
EMSCRIPTEN_KEEPALIVE const char* vornak_car_request(int car) {
    return Answer(game && car >= 1 && car <= CarCount ? game->State().CarRequest(car) : "");
}

EMSCRIPTEN_KEEPALIVE void vornak_gamepad_gone(int index) {
    gamepads.Gone(index);
}

// A key went down with the key bar focused; returns whether the page must keep the browser from
// acting on it too.
EMSCRIPTEN_KEEPALIVE int vornak_key_down(const char* code, const char* key, const char* typed,
                                         int shift, int control, int alt, int meta) {
    if (game && Playing()) {
        game->OnKeyDown(code, key, typed, ShiftState(shift != 0, control != 0, alt != 0));
    }
    return PreventsBrowserAction(key, alt != 0, control != 0, meta != 0) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int vornak_prevents_browser_action(const char* key, int control, int alt,
                                                        int meta) {
    return PreventsBrowserAction(key, alt != 0, control != 0, meta != 0) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void vornak_run_click() {
    if (game && Playing()) {
        game->cmdRun_Click();
    }
}

// The page itself, and none of its elements, got the focus.
EMSCRIPTEN_KEEPALIVE void vornak_page_focus() {
    if (game && Playing()) {
        game->Form_GotFocus();
    }
}

// Also after Tab on the button, which hands the keys back.
EMSCRIPTEN_KEEPALIVE void vornak_click_outside_controls() {
    if (game && Playing()) {
        game->ClickOutsideControls();
    }
}

EMSCRIPTEN_KEEPALIVE void vornak_keys_focus(int steering) {
    ShowKeyBar(steering != 0);
}

EMSCRIPTEN_KEEPALIVE int vornak_playing() {
    return Playing() ? 1 : 0;
}

// Whether Tab on the button hands the keys back: while the clock runs, as after any press;
// otherwise it goes on to the links.
EMSCRIPTEN_KEEPALIVE int vornak_clock_running() {
    return game && Playing() && game->ClockEnabled() ? 1 : 0;
}

}  // extern "C"

int main() {
    return 0;
}
