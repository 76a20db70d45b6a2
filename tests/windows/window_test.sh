#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Runs a Windows test program that opens windows of its own, under Wine on a private X server.
# Usage: window_test.sh PATH/TO/TEST.exe WINE-PREFIX
set -euo pipefail
source "$(dirname "$0")/wine_session.sh"
start_x_server
prepare_wine "$2"
wine "$1"
