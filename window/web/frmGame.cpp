// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "frmGame.h"

#include <emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>

#include "Controls.h"
#include "LevelCheck.h"
#include "WebFiles.h"
#include "WebRules.h"
#include "WindowLayout.h"

namespace vornak::web {

namespace {

// The page's side of the window: what only the browser can do.
// clang-format off
// An image over the program's own bytes sees each put's new pixels, so one is kept a size, until
// the program's memory grows and moves them; a tick then makes no garbage.
EM_JS(void, PutArea, (const std::uint8_t* rgba, int left, int top, int width, int height), {
    let put = Module.vornakPut;
    if (!put || put.buffer !== HEAPU8.buffer || put.images.size > 32) {
        put = Module.vornakPut = {buffer: HEAPU8.buffer, images: new Map(),
            context: document.getElementById("playfield").getContext("2d")};
    }
    const key = rgba + " " + width + " " + height;
    let image = put.images.get(key);
    if (!image) {
        image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4),
                              width, height);
        put.images.set(key, image);
    }
    put.context.putImageData(image, left, top);
});
EM_JS(void, SetButtonText, (const char* text), {
    document.getElementById("run").textContent = UTF8ToString(text);
});
EM_JS(void, FocusElement, (const char* id), {
    document.getElementById(UTF8ToString(id)).focus({preventScroll: true});
});
EM_JS(void, ClockChanged, (int running), {
    VornakPage.clockChanged(running !== 0);
});
EM_JS(void, MarkFirstFrame, (), {
    performance.mark("vornak-first-frame");
});
// The whole text, whatever bytes it holds: UTF8ToString would end it at a NUL.
EM_JS(void, ShowPageMessage, (const char* text, std::size_t length), {
    VornakPage.showMessage(new TextDecoder().decode(HEAPU8.subarray(text, text + length)));
});
// clang-format on

}  // namespace

frmGame::frmGame(std::function<void()> failed)
    : GameWindow({}, MissingMapFile::ReadAsEmpty),
      rgba_(static_cast<std::size_t>(ClientWidth) * ClientHeight * 4),
      failed_(std::move(failed)),
      clock_(
          std::int64_t{ClockPeriodMilliseconds} * 1000,
          [this](std::int64_t delay) {
              timer_ = emscripten_set_timeout(&frmGame::OnTimer, static_cast<double>(delay) / 1000,
                                              this);
          },
          [this] { emscripten_clear_timeout(timer_); },
          [] { return static_cast<std::int64_t>(emscripten_get_now() * 1000); }) {
    MutableFrame().ChangeAll();
}

frmGame::~frmGame() {
    SetClockEnabled(false);
}

void frmGame::Show() {
    MutableFrame().ChangeAll();
    ShowChanges();
    MarkFirstFrame();  // what the start-up benchmark waits for
    FocusKeyReceiver();
}

void frmGame::OnKeyDown(const std::string& code, const std::string& key, const std::string& typed,
                        int shift) {
    if (const int keyCode = VirtualKeyOf(code, key, typed, letters_)) {
        picKeyReceiver_KeyDown(keyCode, shift);
    }
}

namespace {

// Areas that overlap become one, when one put of both covers no more than two would: a car's old
// and new places do, two cars far apart do not.
std::vector<FrameRect> PutAreas(std::vector<FrameRect> areas) {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        for (std::size_t j = i + 1; j < areas.size(); ++j) {
            const FrameRect both = areas[i].United(areas[j]);
            if (both.width * both.height <=
                areas[i].width * areas[i].height + areas[j].width * areas[j].height) {
                areas[i] = both;
                areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(j));
                j = i;  // the grown area may now meet one already passed
            }
        }
    }
    return areas;
}

}  // namespace

// Each changed area is put alone, from a buffer of its own size: with the cars apart, their
// bounding box is most of the playfield, and the browser's work grows with the area put.
void frmGame::ShowChanges() {
    const PlayfieldFrame& frame = Frame();
    for (const FrameRect& area : PutAreas(MutableFrame().ComposeChanges())) {
        if (area.IsEmpty()) {
            continue;
        }
        std::uint8_t* target = rgba_.data();
        for (int y = area.top; y < area.Bottom(); ++y) {
            const std::uint32_t* row =
                frame.Pixels().data() + static_cast<std::size_t>(y) * frame.Width();
            for (int x = area.left; x < area.Right(); ++x) {
                const std::uint32_t pixel = row[x];
                *target++ = static_cast<std::uint8_t>(pixel >> 16U);
                *target++ = static_cast<std::uint8_t>(pixel >> 8U);
                *target++ = static_cast<std::uint8_t>(pixel);
                *target++ = 255;
            }
        }
        PutArea(rgba_.data(), area.left, area.top, area.width, area.height);
    }
}

// The checker's findings follow the failure, as vornak-levelcheck would print them: one start of
// the game shows one fault, and a level maker wants them all.
void frmGame::ReportFailure(const std::string& message) {
    std::string shown = message;
    LevelFiles& files = PageLevelFiles();
    const std::vector<Diagnostic> findings =
        CheckLevel(LevelSource{{}, {}, files, files.Names(), {}});
    if (!findings.empty()) {
        shown += "\n\nWhat the level checker finds:";
        for (const Diagnostic& finding : findings) {
            shown += "\n" + FormatDiagnostic(finding);
        }
    }
    ShowMessage(WithWhatToDo(shown));
    failed_();
}

bool frmGame::ClockEnabled() const {
    return clock_.Enabled();
}

// The browser's timers may fire late, and late in a background tab by a lot; the schedule keeps
// the ticks on a 50 ms grid and drops the ones missed rather than let them pile up.
void frmGame::SetClockEnabled(bool enabled) {
    if (enabled != clock_.Enabled()) {
        ClockChanged(enabled ? 1 : 0);  // the screen stays awake while the clock runs
    }
    clock_.SetEnabled(enabled);
}

void frmGame::OnTimer(void* self) {
    auto* game = static_cast<frmGame*>(self);
    game->clock_.Fired([game] { game->tmrMainLoop_Timer(); });
}

void frmGame::SetRunCaption(const std::string& caption) {
    ShowRunCaption(caption);
}

void frmGame::FocusKeyReceiver() {
    FocusElement("keys");
}

void ShowMessage(const std::string& message) {
    ShowPageMessage(message.data(), message.size());
}

void ShowRunCaption(const std::string& caption) {
    SetButtonText(caption.c_str());
}

}  // namespace vornak::web
