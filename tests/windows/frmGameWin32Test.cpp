// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The Win32 frmGame in its own process under Wine, driven by the messages Windows would send:
// what the end-to-end tests cannot reach from outside, such as a monitor's DPI change.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frmGame.h"

namespace vornak {
namespace {

const std::filesystem::path BundledLevel = VORNAK_LEVEL_DIR;

// A key message's flag for Alt held down.
constexpr LPARAM AltHeld = LPARAM{1} << 29;

void DeliverPosted() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0 && message.message != WM_QUIT) {
        ::DispatchMessageW(&message);
    }
}

HWND GameForm() {
    return ::FindWindowW(L"VornakGame", nullptr);
}

HWND KeyReceiver() {
    return ::FindWindowExW(GameForm(), nullptr, L"VornakKeyReceiver", nullptr);
}

// Runs during whatever message loop is running when the timer fires, modal ones included: that
// is how a test sees inside a menu's or a message box's loop, and ends it.
class LoopWatcher {
  public:
    explicit LoopWatcher(std::function<void()> onTick) : onTick_(std::move(onTick)) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 50, &LoopWatcher::Fired);
    }
    ~LoopWatcher() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    LoopWatcher(const LoopWatcher&) = delete;
    LoopWatcher& operator=(const LoopWatcher&) = delete;

  private:
    static void CALLBACK Fired(HWND /*window*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/) {
        if (current_ != nullptr) {
            current_->onTick_();
        }
    }
    static inline LoopWatcher* current_ = nullptr;
    std::function<void()> onTick_;
    UINT_PTR timer_ = 0;
};

// The message box that the thread shows, if any.
HWND ThreadMessageBox() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t name[16]{};
            ::GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32770" && ::IsWindowVisible(window) != 0) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring Text(HWND window) {
    std::wstring text(1024, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), 1024)));
    return text;
}

// What a message box said and who owned it, read as it shows and then answered with OK.
struct AnsweredBox {
    HWND owner = nullptr;
    std::wstring text;
    bool shown = false;
};

std::function<void()> AnswerMessageBox(AnsweredBox& box) {
    return [&box] {
        HWND shown = ThreadMessageBox();
        if (shown == nullptr || box.shown) {
            return;
        }
        box.shown = true;
        box.owner = ::GetWindow(shown, GW_OWNER);
        HWND label = ::GetDlgItem(shown, 0xFFFF);
        box.text = Text(label != nullptr ? label : shown);
        ::PostMessageW(shown, WM_COMMAND, IDOK, 0);
    };
}

class Win32GameWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        game_.emplace(BundledLevel);
        ASSERT_TRUE(game_->Form_Load());
        game_->ShowCentred();
        ASSERT_NE(GameForm(), nullptr);
    }
    // A closed or failed window posts its quit message, which would end the next test's loops.
    void TearDown() override {
        game_.reset();
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
        }
    }
    std::optional<frmGame> game_;
};

TEST_F(Win32GameWindow, ADpiChangeMovesTheWindowWhereWindowsSuggests) {
    RECT before{};
    ::GetWindowRect(GameForm(), &before);
    RECT suggested{before.left + 37, before.top + 29, before.right + 37, before.bottom + 29};
    ::SendMessageW(GameForm(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT after{};
    ::GetWindowRect(GameForm(), &after);
    EXPECT_EQ(after.left, suggested.left);
    EXPECT_EQ(after.top, suggested.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

// Menu loops the thread entered, as Windows announces them to the window.
int menuLoops = 0;

LRESULT CALLBACK CountMenuLoops(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION &&
        reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_ENTERMENULOOP) {
        ++menuLoops;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Alt or F10 alone, and an Alt+letter, reach the window as these messages; none may open a menu
// loop, which would leave the cars deaf until the next key. Alt+Space still opens the window
// menu. (Wine opens no loop for Alt alone even unswallowed; Windows does.)
TEST_F(Win32GameWindow, OnlyAltSpaceEntersMenuMode) {
    menuLoops = 0;
    HHOOK hook =
        ::SetWindowsHookExW(WH_CALLWNDPROC, &CountMenuLoops, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const LoopWatcher closeMenus([] { ::EndMenu(); });
    ::SendMessageW(GameForm(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(menuLoops, 0) << "Alt or F10 alone";
    ::SendMessageW(KeyReceiver(), WM_SYSCHAR, L'w', AltHeld);
    ::SendMessageW(GameForm(), WM_SYSCHAR, L'x', AltHeld);
    EXPECT_EQ(menuLoops, 0) << "Alt and a letter";
    ::SendMessageW(KeyReceiver(), WM_SYSCHAR, L' ', AltHeld);
    EXPECT_EQ(menuLoops, 1) << "Alt+Space no longer opens the window menu";
    ::UnhookWindowsHookEx(hook);
}

TEST_F(Win32GameWindow, AltF4StillClosesAndTheWindowIsNotDestroyedTwice) {
    ::SendMessageW(KeyReceiver(), WM_SYSKEYDOWN, VK_F4, AltHeld);
    DeliverPosted();
    EXPECT_EQ(GameForm(), nullptr);
    ::SetLastError(ERROR_SUCCESS);
    game_.reset();
    // The destructor found nothing left to destroy, rather than a dead handle.
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_SUCCESS});
}

// When Windows cannot make the window's picture at the new scale, the game stops with a message
// in a box that the window owns, instead of an exception unwinding through Windows' code.
TEST_F(Win32GameWindow, AFailedRescaleStopsTheGameWithAMessage) {
    std::vector<HGDIOBJ> held;
    for (int i = 0; i < 100000; ++i) {
        HGDIOBJ brush = ::CreateSolidBrush(RGB(i % 256, 0, 0));
        if (brush == nullptr) {
            break;
        }
        held.push_back(brush);
    }
    RECT suggested{};
    ::GetWindowRect(GameForm(), &suggested);
    AnsweredBox box;
    {
        const LoopWatcher watcher([&box, &held, answer = AnswerMessageBox(box)] {
            // The box needs GDI objects of its own to show.
            for (HGDIOBJ brush : held) {
                ::DeleteObject(brush);
            }
            held.clear();
            answer();
        });
        const HWND form = GameForm();
        ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(96, 96),
                       reinterpret_cast<LPARAM>(&suggested));
        MSG message{};
        for (int i = 0; i < 200 && !box.shown; ++i) {
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
                ::DispatchMessageW(&message);
            }
            ::Sleep(10);
        }
        EXPECT_TRUE(box.shown);
        EXPECT_EQ(box.owner, form);
    }
    for (HGDIOBJ brush : held) {
        ::DeleteObject(brush);
    }
    EXPECT_NE(box.text.find(L"the window's picture cannot be made"), std::wstring::npos);
    EXPECT_TRUE(game_->HasFailed());
}

TEST(Win32GameStart, ALevelThatFailsToLoadSaysSoInABoxTheWindowOwns) {
    const std::filesystem::path level =
        std::filesystem::temp_directory_path() / "vornak-win32-test-level";
    std::filesystem::remove_all(level);
    std::filesystem::copy(BundledLevel, level);
    std::filesystem::remove(level / "Car1down.gif");
    AnsweredBox box;
    {
        frmGame game(level);
        const LoopWatcher watcher(AnswerMessageBox(box));
        EXPECT_FALSE(game.Form_Load());
        EXPECT_TRUE(box.shown);
        EXPECT_EQ(box.owner, GameForm());
    }
    std::filesystem::remove_all(level);
    EXPECT_NE(box.text.find(L"Car1down.gif is missing"), std::wstring::npos);
}

}  // namespace
}  // namespace vornak
