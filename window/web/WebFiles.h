// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include "LevelFiles.h"

namespace vornak::web {

// The page's level loads; the latest one's files are the level the page plays, filled before
// its game starts.
LevelLoads& PageLoads();
LevelFiles& PageLevelFiles();

}  // namespace vornak::web
