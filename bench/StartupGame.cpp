// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The game's start-up exactly as main runs it, ending at the first painted frame.
#include "GameMain.h"
#include "QuitAfterFirstPaint.h"

int main(int argc, char* argv[]) {
    vornak::bench::QuitAfterFirstPaint quit;
    return vornak::RunGame(argc, argv, &quit);
}
