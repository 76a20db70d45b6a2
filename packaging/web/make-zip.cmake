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
vornak_write_zip(${STAGE} ${ZIP})
