// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include "FileOpener.h"

namespace vornak {

// The opener of the system the game runs on: POSIX on Linux, Win32 on Windows.
FileOpener& SystemFiles();

}  // namespace vornak
