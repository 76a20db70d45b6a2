// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "VirtualKeys.h"

#include <Qt>
#include <array>
#include <utility>

namespace vornak {

namespace {

constexpr std::array<std::pair<int, int>, 28> KeyTable{{
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    // Punctuation gets Windows' OEM codes, which steer nothing, as on Windows.
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_Apostrophe, 222},
}};

// The letters of a US layout by XKB key code (the Linux input code plus 8), row by row.
constexpr int FirstLetterRowKey = 24;
constexpr std::array<char, 10> UpperLetterRow{'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P'};
constexpr int HomeRowKey = 38;
constexpr std::array<char, 9> HomeRow{'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L'};
constexpr int LowerLetterRowKey = 52;
constexpr std::array<char, 7> LowerLetterRow{'Z', 'X', 'C', 'V', 'B', 'N', 'M'};

template <std::size_t Size>
int LetterInRow(unsigned scanCode, int firstKey, const std::array<char, Size>& row) {
    const auto place = static_cast<long>(scanCode) - firstKey;
    return place >= 0 && place < static_cast<long>(Size) ? row[static_cast<std::size_t>(place)] : 0;
}

int UsLetterAt(unsigned scanCode) {
    if (const int letter = LetterInRow(scanCode, FirstLetterRowKey, UpperLetterRow)) {
        return letter;
    }
    if (const int letter = LetterInRow(scanCode, HomeRowKey, HomeRow)) {
        return letter;
    }
    return LetterInRow(scanCode, LowerLetterRowKey, LowerLetterRow);
}

int CodeOfQtKey(int qtKey) {
    // Qt already names letter and digit keys by their upper-case ASCII code, as Windows does.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return qtKey;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return 112 + (qtKey - Qt::Key_F1);
    }
    for (const auto& [qt, virtualKey] : KeyTable) {
        if (qt == qtKey) {
            return virtualKey;
        }
    }
    return 0;
}

}  // namespace

int VirtualKeyCode(int qtKey, unsigned nativeScanCode, LayoutLetters letters) {
    switch (letters) {
        case LayoutLetters::Latin:
            return CodeOfQtKey(qtKey);
        case LayoutLetters::NonLatin:
            if (const int letter = UsLetterAt(nativeScanCode)) {
                return letter;
            }
            return CodeOfQtKey(qtKey);
        case LayoutLetters::Unknown:
            break;
    }
    // Without the layout, only a key that types a letter of another script is taken by its place.
    const bool otherScript = qtKey > 0xFF && qtKey < Qt::Key_Escape;
    if (otherScript) {
        if (const int letter = UsLetterAt(nativeScanCode)) {
            return letter;
        }
    }
    return CodeOfQtKey(qtKey);
}

}  // namespace vornak
