// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "frmGame.h"

#include <mmsystem.h>

#include <cstdio>
#include <stdexcept>

#include "Controls.h"
#include "GameError.h"
#include "Picture.h"
#include "Win32Text.h"
#include "WindowLayout.h"

namespace vornak {

namespace {

constexpr wchar_t FormClass[] = L"VornakGame";
constexpr wchar_t KeyReceiverClass[] = L"VornakKeyReceiver";
constexpr UINT_PTR MainLoopTimer = 1;
constexpr int RunButtonId = 1;
// The default GUI font's height at 96 dpi, scaled with the window.
constexpr int ButtonFontPixels = 12;

std::int64_t NowMicroseconds() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value{};
        ::QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart / frequency * 1000000 + now.QuadPart % frequency * 1000000 / frequency;
}

int HeldShiftState() {
    return ShiftState(::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_CONTROL) < 0,
                      ::GetKeyState(VK_MENU) < 0);
}

COLORREF ColourRef(std::uint32_t rgb) {
    return RGB((rgb >> 16U) & 0xFFU, (rgb >> 8U) & 0xFFU, rgb & 0xFFU);
}

std::uint32_t FrameColour(COLORREF colour) {
    return 0xFF000000U | (static_cast<std::uint32_t>(GetRValue(colour)) << 16U) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8U) | GetBValue(colour);
}

void RegisterClasses(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = DefWindowProcW;
        form.hInstance = instance;
        form.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
        form.hIconSm = form.hIcon;
        form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        form.lpszClassName = FormClass;
        ::RegisterClassExW(&form);
        WNDCLASSEXW receiver{};
        receiver.cbSize = sizeof receiver;
        receiver.lpfnWndProc = DefWindowProcW;
        receiver.hInstance = instance;
        receiver.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        receiver.lpszClassName = KeyReceiverClass;
        ::RegisterClassExW(&receiver);
        return true;
    }();
    (void)registered;
}

// Alt or F10 tapped alone would enter menu mode in a window with no menu, and an Alt+letter
// would beep for a missing mnemonic: both leave the keys dead until the next key. Alt+Space
// still opens the window menu, and Alt+F4 still closes.
bool IsMenuKeyToSwallow(UINT message, WPARAM wParam, LPARAM lParam) {
    return (message == WM_SYSCOMMAND && (wParam & 0xFFF0U) == SC_KEYMENU && lParam == 0) ||
           (message == WM_SYSCHAR && wParam != L' ');
}

void WriteToStandardError(const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

frmGame::frmGame(std::filesystem::path programDir)
    : GameWindow(std::move(programDir)),
      clock_(
          std::int64_t{ClockPeriodMilliseconds} * 1000,
          [this](std::int64_t delay) {
              ::SetTimer(form_, MainLoopTimer, static_cast<UINT>((delay + 500) / 1000), nullptr);
          },
          [this] { ::KillTimer(form_, MainLoopTimer); }, &NowMicroseconds) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterClasses(instance);
    MutableFrame().SetBackground(FrameColour(::GetSysColor(COLOR_BTNFACE)));
    constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    form_ = ::CreateWindowExW(0, FormClass, WideFromUtf8(WindowTitle).c_str(), FormStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, ClientWidth, ClientHeight, nullptr,
                              nullptr, instance, nullptr);
    if (form_ == nullptr) {
        throw std::runtime_error("the game window cannot be created: " +
                                 SystemErrorText(::GetLastError()));
    }
    // Created in tab order: the key receiver first, so it holds the focus from start-up.
    picKeyReceiver_ =
        ::CreateWindowExW(0, KeyReceiverClass, L"Steering keys", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                          0, 0, 1, 1, form_, nullptr, instance, nullptr);
    cmdRun_ = ::CreateWindowExW(0, L"BUTTON", WideFromUtf8(StartCaption).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 1, 1,
                                form_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(RunButtonId)),
                                instance, nullptr);
    for (HWND window : {form_, picKeyReceiver_, cmdRun_}) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ::SetWindowLongPtrW(form_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormProcedure));
    ::SetWindowLongPtrW(picKeyReceiver_, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(&KeyReceiverProcedure));
    buttonProcedure_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        cmdRun_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RunButtonProcedure)));
    dpi_ = static_cast<int>(::GetDpiForWindow(form_));
    Rescale(nullptr);
}

frmGame::~frmGame() {
    SetClockEnabled(false);
    if (form_ != nullptr) {
        ::DestroyWindow(form_);
    }
    if (backBuffer_ != nullptr) {
        ::SelectObject(backBuffer_, previousBitmap_);
        ::DeleteDC(backBuffer_);
    }
    if (backBitmap_ != nullptr) {
        ::DeleteObject(backBitmap_);
    }
    if (buttonFont_ != nullptr) {
        ::DeleteObject(buttonFont_);
    }
}

// Every element grows by the same whole zoom, counted in device pixels, so that each game pixel
// is a square of whole device pixels at any scaling; the logic still sees the game's own units.
void frmGame::Rescale(const RECT* suggested) {
    zoom_ = ChooseWindowZoom();
    MakeBackBuffer();
    MakeButtonFont();
    LayOutChildren();
    PlaceWindow(suggested);
    MutableFrame().ChangeAll();
    ShowChanges();
    ::InvalidateRect(form_, nullptr, FALSE);
}

int frmGame::ChooseWindowZoom() const {
    const RECT work = WorkArea();
    return ChooseDeviceZoom(work.right - work.left, work.bottom - work.top, dpi_ / 96.0);
}

RECT frmGame::WorkArea() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(form_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

void frmGame::MakeBackBuffer() {
    if (backBuffer_ == nullptr) {
        HDC screen = ::GetDC(form_);
        backBuffer_ = ::CreateCompatibleDC(screen);
        ::ReleaseDC(form_, screen);
    }
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = ClientWidth * zoom_;
    format.bmiHeader.biHeight = -ClientHeight * zoom_;  // top-down, as the frame is
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(backBuffer_, &format, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr) {
        throw std::runtime_error("the window's picture cannot be made: " +
                                 SystemErrorText(::GetLastError()));
    }
    HGDIOBJ replaced = ::SelectObject(backBuffer_, bitmap);
    if (backBitmap_ == nullptr) {
        previousBitmap_ = replaced;
    } else {
        ::DeleteObject(backBitmap_);
    }
    backBitmap_ = bitmap;
    backPixels_ = static_cast<std::uint32_t*>(pixels);
}

// The button's text grows with the window.
void frmGame::MakeButtonFont() {
    HFONT font = ::CreateFontW(-ButtonFontPixels * zoom_, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
    ::SendMessageW(cmdRun_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (buttonFont_ != nullptr) {
        ::DeleteObject(buttonFont_);
    }
    buttonFont_ = font;
}

void frmGame::LayOutChildren() {
    for (const auto& [element, at] :
         {std::pair{cmdRun_, cmdRunPlace}, std::pair{picKeyReceiver_, picKeyReceiverPlace}}) {
        ::MoveWindow(element, at.left * zoom_, at.top * zoom_, at.width * zoom_, at.height * zoom_,
                     TRUE);
    }
}

// Centred on the work area at start; where Windows suggests when the window moves to a screen
// of another scale, so that a window dragged across never jumps.
void frmGame::PlaceWindow(const RECT* suggested) {
    RECT outer{0, 0, ClientWidth * zoom_, ClientHeight * zoom_};
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(form_, GWL_STYLE));
    ::AdjustWindowRectExForDpi(&outer, style, FALSE, 0, static_cast<UINT>(dpi_));
    const int outerWidth = outer.right - outer.left;
    const int outerHeight = outer.bottom - outer.top;
    POINT topLeft{};
    if (suggested != nullptr) {
        topLeft = {suggested->left, suggested->top};
    } else {
        const RECT work = WorkArea();
        topLeft = {work.left + (work.right - work.left - outerWidth) / 2,
                   work.top + (work.bottom - work.top - outerHeight) / 2};
    }
    ::SetWindowPos(form_, nullptr, topLeft.x, topLeft.y, outerWidth, outerHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// The constructor already scaled and centred the window for its monitor.
void frmGame::ShowCentred() {
    ::ShowWindow(form_, SW_SHOWNORMAL);
    ::SetForegroundWindow(form_);
    FocusKeyReceiver();
    ::UpdateWindow(form_);
}

int frmGame::RunMessageLoop() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return HasFailed() ? 1 : static_cast<int>(message.wParam);
}

void frmGame::ReportStartFailure(const std::string& message, HWND owner) {
    const std::string shown = WithCheckerHint(message);
    WriteToStandardError("Vornak: " + shown + "\n");
    ::MessageBoxW(owner, WideFromUtf8(shown).c_str(), WideFromUtf8(WindowTitle).c_str(),
                  MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void frmGame::ReportFailure(const std::string& message) {
    ReportStartFailure(message, form_);
    // Inside Form_Load there is no message loop yet; the caller sees the false result instead.
    ::PostQuitMessage(1);
}

// A tick's changes reach the screen at the end of the tick, without another trip through the
// message loop.
void frmGame::ShowChanges() {
    const std::vector<FrameRect> changed = MutableFrame().ComposeChanges();
    if (changed.empty()) {
        return;
    }
    // A hidden window is painted whole from the back buffer when it shows.
    const bool shown = ::IsWindowVisible(form_) != 0;
    HDC screen = shown ? ::GetDC(form_) : nullptr;
    for (const FrameRect& area : changed) {
        RECT onScreen{};
        ScaleIntoBackBuffer(area, onScreen);
        if (!shown) {
            continue;
        }
        ::BitBlt(screen, onScreen.left, onScreen.top, onScreen.right - onScreen.left,
                 onScreen.bottom - onScreen.top, backBuffer_, onScreen.left, onScreen.top, SRCCOPY);
    }
    if (shown) {
        ::ReleaseDC(form_, screen);
    }
}

void frmGame::ScaleIntoBackBuffer(const FrameRect& area, RECT& onScreen) {
    const int width = ClientWidth * zoom_;
    onScreen = {area.left * zoom_, area.top * zoom_, area.Right() * zoom_, area.Bottom() * zoom_};
    const std::vector<std::uint32_t>& pixels = Frame().Pixels();
    for (int y = onScreen.top; y < onScreen.bottom; ++y) {
        const std::uint32_t* source =
            pixels.data() + static_cast<std::ptrdiff_t>(y / zoom_) * Frame().Width();
        std::uint32_t* target = backPixels_ + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = onScreen.left; x < onScreen.right; ++x) {
            target[x] = source[x / zoom_];
        }
    }
}

void frmGame::OnPaint() {
    PAINTSTRUCT paint{};
    HDC screen = ::BeginPaint(form_, &paint);
    ::BitBlt(screen, paint.rcPaint.left, paint.rcPaint.top,
             paint.rcPaint.right - paint.rcPaint.left, paint.rcPaint.bottom - paint.rcPaint.top,
             backBuffer_, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
    ::EndPaint(form_, &paint);
}

void frmGame::OnTimer() {
    clock_.Fired([this] { tmrMainLoop_Timer(); });
}

void frmGame::OnDpiChanged(const RECT* suggested) {
    dpi_ = static_cast<int>(::GetDpiForWindow(form_));
    Rescale(suggested);
}

LRESULT frmGame::OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the back buffer covers every pixel; erasing first would flicker
        case WM_TIMER:
            if (wParam == MainLoopTimer) {
                OnTimer();
                return 0;
            }
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == RunButtonId && HIWORD(wParam) == BN_CLICKED) {
                cmdRun_Click();
                return 0;
            }
            break;
        case WM_SETFOCUS:
            Form_GotFocus();
            return 0;
        case WM_LBUTTONDOWN:
            ClickOutsideControls();
            return 0;
        case WM_SYSCOLORCHANGE:
            MutableFrame().SetBackground(FrameColour(::GetSysColor(COLOR_BTNFACE)));
            ShowChanges();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(HasFailed() ? 1 : 0);
            return 0;
        case WM_NCDESTROY: {
            const LRESULT result = ::DefWindowProcW(form_, message, wParam, lParam);
            form_ = nullptr;  // the handle is dead from here on; the destructor must not use it
            return result;
        }
        default:
            break;
    }
    return ::DefWindowProcW(form_, message, wParam, lParam);
}

void frmGame::PaintKeyReceiver() {
    PAINTSTRUCT paint{};
    HDC target = ::BeginPaint(picKeyReceiver_, &paint);
    RECT area{};
    ::GetClientRect(picKeyReceiver_, &area);
    const KeyBarColours colours = KeyBarColoursFor(::GetFocus() == picKeyReceiver_);
    HBRUSH fill = ::CreateSolidBrush(ColourRef(colours.fill));
    HBRUSH edge = ::CreateSolidBrush(ColourRef(colours.edge));
    ::FillRect(target, &area, fill);
    ::FrameRect(target, &area, edge);
    ::DeleteObject(fill);
    ::DeleteObject(edge);
    ::EndPaint(picKeyReceiver_, &paint);
}

// picKeyReceiver takes every key but Tab, which moves the focus to the button as on Linux.
LRESULT frmGame::OnKeyReceiverMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (wParam == VK_TAB) {
                ::SetFocus(cmdRun_);
                return 0;
            }
            picKeyReceiver_KeyDown(static_cast<int>(wParam & 0xFFFFU), HeldShiftState());
            if (message == WM_SYSKEYDOWN) {
                break;  // Alt+F4 and the window menu still work
            }
            return 0;
        case WM_LBUTTONDOWN:
            ::SetFocus(picKeyReceiver_);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(picKeyReceiver_, nullptr, FALSE);
            return 0;
        case WM_PAINT:
            PaintKeyReceiver();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(picKeyReceiver_, message, wParam, lParam);
}

// cmdRun takes the focus only by Tab: a click, or a press dragged off it, must never leave the
// keys with it, since no click handler would hand them back. With the focus, Space and Enter
// both press it, and Tab hands the keys back.
LRESULT frmGame::OnRunButtonMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            pressedByMouse_ = ::GetFocus() != cmdRun_;
            break;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: {
            const LRESULT result =
                ::CallWindowProcW(buttonProcedure_, cmdRun_, message, wParam, lParam);
            if (pressedByMouse_ && ::GetFocus() == cmdRun_) {
                pressedByMouse_ = false;
                FocusKeyReceiver();
            }
            return result;
        }
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_BUTTON;
        case WM_KEYDOWN:
            if (wParam == VK_TAB) {
                FocusKeyReceiver();
                return 0;
            }
            if (wParam == VK_RETURN && (lParam & (1L << 30)) == 0) {
                ::SendMessageW(cmdRun_, BM_CLICK, 0, 0);
                return 0;
            }
            break;
        default:
            break;
    }
    return ::CallWindowProcW(buttonProcedure_, cmdRun_, message, wParam, lParam);
}

template <typename Handler>
LRESULT frmGame::Guarded(HWND window, Handler&& handler) {
    auto* game = reinterpret_cast<frmGame*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        return handler(game);
    } catch (const std::exception& error) {
        if (game != nullptr) {
            game->StopWithFailure(error.what());
        }
    } catch (...) {
        if (game != nullptr) {
            game->StopWithFailure("An unknown error stopped the game.");
        }
    }
    return 0;
}

LRESULT CALLBACK frmGame::FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded(window, [&](frmGame* game) {
        if (IsMenuKeyToSwallow(message, wParam, lParam)) {
            return LRESULT{0};
        }
        return game == nullptr ? ::DefWindowProcW(window, message, wParam, lParam)
                               : game->OnFormMessage(message, wParam, lParam);
    });
}

LRESULT CALLBACK frmGame::KeyReceiverProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    return Guarded(window, [&](frmGame* game) {
        if (IsMenuKeyToSwallow(message, wParam, lParam)) {
            return LRESULT{0};
        }
        return game == nullptr ? ::DefWindowProcW(window, message, wParam, lParam)
                               : game->OnKeyReceiverMessage(message, wParam, lParam);
    });
}

LRESULT CALLBACK frmGame::RunButtonProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    return Guarded(window, [&](frmGame* game) {
        if (IsMenuKeyToSwallow(message, wParam, lParam)) {
            return LRESULT{0};
        }
        return game->OnRunButtonMessage(message, wParam, lParam);
    });
}

bool frmGame::ClockEnabled() const {
    return clock_.Enabled();
}

// Windows' timer fires on the system tick, about 15.6 ms, unless asked for 1 ms; the schedule
// then keeps the ticks on a 50 ms grid. WM_TIMER is a flag, never queued twice, so ticks do not
// pile up.
void frmGame::SetClockEnabled(bool enabled) {
    if (enabled == clock_.Enabled()) {
        return;
    }
    if (enabled) {
        finePeriod_ = ::timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    clock_.SetEnabled(enabled);
    if (!enabled && finePeriod_) {
        ::timeEndPeriod(1);
        finePeriod_ = false;
    }
}

void frmGame::SetRunCaption(const std::string& caption) {
    ::SetWindowTextW(cmdRun_, WideFromUtf8(caption).c_str());
}

void frmGame::FocusKeyReceiver() {
    ::SetFocus(picKeyReceiver_);
}

}  // namespace vornak
