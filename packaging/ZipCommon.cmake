# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# What the zips' scripts share: the levels laid out as players find them, the third-party notices
# from the packages the build used, and the zip itself. Included by a script run with -P.

# A fresh stage with the bundled circuit beside the program and the other levels in levels/.
function(vornak_stage_levels stage levels)
    file(REMOVE_RECURSE ${stage})
    file(MAKE_DIRECTORY ${stage}/levels ${stage}/LICENSES)
    file(GLOB circuit ${levels}/circuit/*)
    file(COPY ${circuit} DESTINATION ${stage})
    foreach(level IN ITEMS oval maze figure8)
        file(COPY ${levels}/${level} DESTINATION ${stage}/levels)
    endforeach()
endfunction()

# The zip's own notices, then each package's copyright file: read from the packages the build
# used, so that they match what went in. installer names the script that installs them.
function(vornak_read_notices variable own installer)
    file(READ ${own} text)
    foreach(notices IN LISTS ARGN)
        if(NOT EXISTS ${notices})
            message(FATAL_ERROR "${notices} is missing; ${installer} installs it")
        endif()
        file(READ ${notices} package)
        string(APPEND text "\n\n======== ${notices}\n\n${package}")
    endforeach()
    set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# The stage as one zip, its folder at the top.
function(vornak_write_zip stage zip)
    get_filename_component(parent ${stage} DIRECTORY)
    get_filename_component(name ${stage} NAME)
    file(REMOVE ${zip})
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${name}
        WORKING_DIRECTORY ${parent} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot write ${zip}")
    endif()
endfunction()
