// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

namespace vornak {

// Everything main does: the window, its level from the program's own folder, and the message
// loop. Returns the exit status.
int RunGame(int argc, char* argv[]);

}  // namespace vornak
