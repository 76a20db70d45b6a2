// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "SystemFiles.h"
#include "WebFiles.h"

namespace vornak {

// In the page, the files of the level being played are the only files there are.
FileOpener& SystemFiles() {
    return web::PageLevelFiles();
}

namespace web {

LevelLoads& PageLoads() {
    static LevelLoads loads;
    return loads;
}

LevelFiles& PageLevelFiles() {
    return PageLoads().Files();
}

}  // namespace web

}  // namespace vornak
