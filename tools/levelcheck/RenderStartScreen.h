// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <filesystem>
#include <string>

namespace vornak {

// The playfield as the game first shows it, drawn by the game's own window code offscreen.
// Returns a null image and sets failure when the level does not load.
QImage RenderStartScreen(const std::filesystem::path& folder, std::string& failure);

}  // namespace vornak
