# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Lays out the Windows folder and zips it. Run by the build with -D STAGE, ZIP, SOURCE, LEVELS,
# GAME, CHECKER and VERSION.
# Without this, a script run with -P keeps CMake's old policies, and the old CMP0053 expands
# "@VERSION@" in a quoted argument before string(REPLACE) sees it.
cmake_minimum_required(VERSION 3.25)
include(${SOURCE}/packaging/ZipCommon.cmake)
vornak_stage_levels(${STAGE} ${LEVELS})
file(COPY ${GAME} ${CHECKER} DESTINATION ${STAGE})
# The runtime's notices, from the compiler's own packages.
vornak_read_notices(third_party ${SOURCE}/packaging/windows/THIRD-PARTY.txt tools/windows.sh
    /usr/share/doc/gcc-mingw-w64-base/copyright /usr/share/doc/mingw-w64-x86-64-dev/copyright)
file(READ ${SOURCE}/packaging/windows/README.txt readme)
string(REPLACE "@VERSION@" "${VERSION}" readme "${readme}")
file(READ ${SOURCE}/LICENSES/MIT.txt mit)
file(READ ${SOURCE}/LICENSES/CC0-1.0.txt cc0)
# Windows users open these in Notepad: UTF-8 with CR LF.
foreach(text IN ITEMS readme third_party mit cc0)
    string(REPLACE "\r\n" "\n" ${text} "${${text}}")
    string(REPLACE "\n" "\r\n" ${text} "${${text}}")
endforeach()
file(WRITE ${STAGE}/README.txt "${readme}")
file(WRITE ${STAGE}/THIRD-PARTY.txt "${third_party}")
file(WRITE ${STAGE}/LICENSES/MIT.txt "${mit}")
file(WRITE ${STAGE}/LICENSES/CC0-1.0.txt "${cc0}")
vornak_write_zip(${STAGE} ${ZIP})
