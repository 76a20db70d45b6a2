// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>

#include "FileOpener.h"

namespace vornak {

// open() without blocking, then fstat() of the open descriptor.
class PosixFileOpener : public FileOpener {
  public:
    OpenedFile Open(const std::filesystem::path& file) override;
    void CreateEmpty(const std::filesystem::path& file) override;

    // Runs between the open and the look at what was opened: tests swap the file there.
    void SetAfterOpen(std::function<void(const std::filesystem::path&)> afterOpen) {
        afterOpen_ = std::move(afterOpen);
    }

  private:
    std::function<void(const std::filesystem::path&)> afterOpen_;
};

}  // namespace vornak
