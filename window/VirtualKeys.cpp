#include "VirtualKeys.h"

#include <Qt>
#include <array>
#include <utility>

namespace vornak {

namespace {

constexpr std::array<std::pair<int, int>, 17> KeyTable{{
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
}};

}  // namespace

int VirtualKeyCode(int qtKey) {
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

int ShiftState(int qtModifiers) {
    return ((qtModifiers & Qt::ShiftModifier) != 0 ? 1 : 0) |
           ((qtModifiers & Qt::ControlModifier) != 0 ? 2 : 0) |
           ((qtModifiers & Qt::AltModifier) != 0 ? 4 : 0);
}

}  // namespace vornak
