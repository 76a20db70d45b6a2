// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The floor for the Windows start-up: a bare window of the game's size with one button, shown
// and painted, and nothing else.
#include <windows.h>

int main() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = DefWindowProcW;
    form.hInstance = instance;
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = L"VornakBare";
    ::RegisterClassExW(&form);
    RECT outer{0, 0, 417, 241};
    constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    ::AdjustWindowRectEx(&outer, Style, FALSE, 0);
    HWND window = ::CreateWindowExW(0, L"VornakBare", L"Vornak", Style, CW_USEDEFAULT,
                                    CW_USEDEFAULT, outer.right - outer.left,
                                    outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    ::CreateWindowExW(0, L"BUTTON", L"Start!", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 328, 8, 81,
                      25, window, nullptr, instance, nullptr);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    ::TerminateProcess(::GetCurrentProcess(), 0);
    return 0;
}
