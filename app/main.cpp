// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "GameMain.h"

int main(int argc, char* argv[]) {
    return vornak::RunGame(argc, argv);
}
