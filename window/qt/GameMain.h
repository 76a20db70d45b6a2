// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

class QObject;

namespace vornak {

// Everything main does: the application, the window, its level from the program's own folder,
// and the event loop. Returns the exit status. A playfieldWatcher, when given, is installed as an
// event filter on the playfield; the start-up benchmark uses it to stop at the first frame.
int RunGame(int argc, char* argv[], QObject* playfieldWatcher = nullptr);

}  // namespace vornak
