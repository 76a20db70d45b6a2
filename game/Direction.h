// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <string_view>

namespace vornak {

struct DirectionStep {
    std::string_view word;
    int columnStep;
    int rowStep;
};

// Requests are matched in this order; the words are compared exactly, case included.
inline constexpr std::array<DirectionStep, 4> DirectionTable{{
    {"up", 0, -1},
    {"down", 0, 1},
    {"left", -1, 0},
    {"right", 1, 0},
}};

// Returns nullptr for the empty request and for any text that is not one of the four words.
inline const DirectionStep* FindDirection(std::string_view word) {
    for (const DirectionStep& step : DirectionTable) {
        if (step.word == word) {
            return &step;
        }
    }
    return nullptr;
}

}  // namespace vornak
