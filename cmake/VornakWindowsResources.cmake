# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Icon, version and manifest for each program.
function(vornak_windows_resources target description icon)
    set(VORNAK_PROGRAM ${target})
    set(VORNAK_DESCRIPTION ${description})
    set(VORNAK_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
    set(VORNAK_VERSION_QUAD "${PROJECT_VERSION}.0")
    set(VORNAK_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    if(icon)
        set(VORNAK_ICON_LINE "1 ICON \"${PROJECT_SOURCE_DIR}/packaging/net.vornak.Vornak.ico\"")
    else()
        set(VORNAK_ICON_LINE "")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/vornak.manifest ${VORNAK_MANIFEST} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/resources.rc.in
        ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
