# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The pictures a level's tile map asks for, named as the game names them: "Tile", the tile
# character, ".bmp", where a byte above 127 stands for its Latin-1 character written in UTF-8.
# Carriage returns, line feeds and NUL bytes are no tiles. A test holds this to the game's rule.
#
# Names may hold characters that CMake lists treat specially ("[", "]", "\"), so the tiles
# travel as hexadecimal bytes and each name is made where it is used. A ";" stops the build:
# no CMake command line can carry it.

# The distinct tile bytes of map, in hexadecimal, in the order they first appear.
function(vornak_level_tiles map out_var)
    file(READ ${map} hex HEX)
    string(LENGTH "${hex}" length)
    set(tiles)
    set(i 0)
    while(i LESS length)
        string(SUBSTRING "${hex}" ${i} 2 byte)
        math(EXPR i "${i} + 2")
        if(byte STREQUAL "00" OR byte STREQUAL "0a" OR byte STREQUAL "0d")
            continue()
        endif()
        if(byte STREQUAL "3b")
            message(FATAL_ERROR "${map}: the tile character ';' cannot be used in a bundled "
                "level; its picture name would not survive the build")
        endif()
        list(APPEND tiles ${byte})
    endwhile()
    list(REMOVE_DUPLICATES tiles)
    set(${out_var} ${tiles} PARENT_SCOPE)
endfunction()

# The picture name of one tile byte, given in hexadecimal.
function(vornak_tile_picture byte out_var)
    math(EXPR value "0x${byte}")
    if(value LESS 128)
        string(ASCII ${value} character)
    else()
        math(EXPR lead "192 + (${value} >> 6)")
        math(EXPR trail "128 + (${value} & 63)")
        string(ASCII ${lead} ${trail} character)
    endif()
    set(${out_var} "Tile${character}.bmp" PARENT_SCOPE)
endfunction()

# Run as a script (cmake -DMAP=... -DOUT=... -P), writes the names one to a line.
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    vornak_level_tiles(${MAP} tiles)
    file(WRITE ${OUT} "")
    foreach(byte IN LISTS tiles)
        vornak_tile_picture(${byte} name)
        file(APPEND ${OUT} "${name}\n")
    endforeach()
endif()
