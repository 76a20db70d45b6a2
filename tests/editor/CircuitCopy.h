// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>

#include "LevelDirectory.h"

namespace vornak::testing {

// A scratch copy of the bundled circuit, as a level maker would start from it.
class CircuitCopy : public LevelDirectory {
  public:
    CircuitCopy() {
        for (const auto& entry : std::filesystem::directory_iterator(VORNAK_CIRCUIT_DIR)) {
            std::filesystem::copy_file(entry.path(), Path() / entry.path().filename());
        }
    }
};

}  // namespace vornak::testing
