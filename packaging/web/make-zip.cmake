# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Lays out the web folder and zips it. Run by the build with -D STAGE, ZIP, SOURCE, LEVELS,
# PAGE and VERSION.
cmake_minimum_required(VERSION 3.25)
include(${SOURCE}/packaging/ZipCommon.cmake)
vornak_stage_levels(${STAGE} ${LEVELS})
file(GLOB page ${PAGE}/*)
file(COPY ${page} DESTINATION ${STAGE})
file(COPY ${SOURCE}/LICENSES/MIT.txt ${SOURCE}/LICENSES/CC0-1.0.txt DESTINATION ${STAGE}/LICENSES)
# stb's notice and the runtime's, from the packages the page was built with.
vornak_read_notices(third_party ${SOURCE}/packaging/web/THIRD-PARTY.txt tools/web.sh
    /usr/share/doc/libstb-dev/copyright /usr/share/doc/emscripten/copyright)
string(REPLACE "@VERSION@" "${VERSION}" third_party "${third_party}")
file(WRITE ${STAGE}/THIRD-PARTY.txt "${third_party}")
configure_file(${SOURCE}/packaging/web/README.txt ${STAGE}/README.txt @ONLY)
file(COPY ${SOURCE}/packaging/web/manifest.webmanifest ${SOURCE}/packaging/web/vornak-192.png
    ${SOURCE}/packaging/web/vornak-512.png ${SOURCE}/packaging/web/vornak-maskable-512.png
    DESTINATION ${STAGE})
# The worker last, since it lists every other file.
execute_process(COMMAND python3 ${SOURCE}/packaging/web/make-worker.py ${STAGE}
    ${SOURCE}/window/web/page/service-worker.js RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot write the service worker")
endif()
vornak_write_zip(${STAGE} ${ZIP})
# For game hosts that want index.html at the zip's top: the same files, without the folder.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${HOST_ZIP} --format=zip .
    WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot write ${HOST_ZIP}")
endif()
