# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Lays out the Windows folder and zips it. Run by the build with -D STAGE, ZIP, SOURCE, LEVELS,
# GAME, CHECKER and VERSION.
# Without this, a script run with -P keeps CMake's old policies, and the old CMP0053 expands
# "@VERSION@" in a quoted argument before string(REPLACE) sees it.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/levels ${STAGE}/LICENSES)
file(COPY ${GAME} ${CHECKER} DESTINATION ${STAGE})
file(GLOB circuit ${LEVELS}/circuit/*)
file(COPY ${circuit} DESTINATION ${STAGE})
foreach(level IN ITEMS oval maze figure8)
    file(COPY ${LEVELS}/${level} DESTINATION ${STAGE}/levels)
endforeach()
# The runtime's notices come from the compiler's own packages, so they match what was linked.
file(READ ${SOURCE}/packaging/windows/THIRD-PARTY.txt third_party)
foreach(notices IN ITEMS /usr/share/doc/gcc-mingw-w64-base/copyright
                         /usr/share/doc/mingw-w64-x86-64-dev/copyright)
    if(NOT EXISTS ${notices})
        message(FATAL_ERROR "${notices} is missing; tools/windows.sh installs it")
    endif()
    file(READ ${notices} text)
    string(APPEND third_party "\n\n======== ${notices}\n\n${text}")
endforeach()
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
get_filename_component(parent ${STAGE} DIRECTORY)
get_filename_component(name ${STAGE} NAME)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${name}
    WORKING_DIRECTORY ${parent} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot write ${ZIP}")
endif()
