// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include "LevelFiles.h"

namespace vornak::web {

// The files of the level the page plays, which the page fills before the game starts.
LevelFiles& PageLevelFiles();

}  // namespace vornak::web
