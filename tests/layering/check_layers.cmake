# Fails when a source file includes a folder above its own, when a core folder
# includes anything of Qt Widgets, or when a folder's sources go to the library
# of the other side of the core/UI line.
#
#   cmake -DSOURCE_DIR=<tree> -DWIDGETS_DIR=<QtWidgets include dir>
#         [-DEXPECT=<file>] -P check_layers.cmake
#
# With EXPECT, succeeds only when the violations found are exactly those listed
# there (one "file: message" a line), so that the check itself can be tested.

cmake_minimum_required(VERSION 3.25)

# Lowest first; a folder may include its own and those before it.
set(LAYERS model codegen net components canvas app)
set(CORE_LAYERS model codegen net)
# Separate programs: they see the core library only.
set(TOOL_FOLDERS tools)

foreach(var SOURCE_DIR WIDGETS_DIR)
    if(NOT ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB widget_headers RELATIVE "${WIDGETS_DIR}" "${WIDGETS_DIR}/*")
if(NOT widget_headers)
    message(FATAL_ERROR "no Qt Widgets headers under ${WIDGETS_DIR}")
endif()

set(violations "")

function(layer_rank folder out)
    list(FIND LAYERS "${folder}" rank)
    set(${out} ${rank} PARENT_SCOPE)
endfunction()

foreach(folder IN LISTS LAYERS TOOL_FOLDERS)
    if(NOT IS_DIRECTORY "${SOURCE_DIR}/${folder}")
        continue()
    endif()
    set(is_core FALSE)
    if(folder IN_LIST CORE_LAYERS)
        set(is_core TRUE)
    endif()
    if(folder IN_LIST TOOL_FOLDERS)
        list(LENGTH CORE_LAYERS own_rank)
        math(EXPR own_rank "${own_rank} - 1")
    else()
        layer_rank(${folder} own_rank)
    endif()

    if(folder IN_LIST LAYERS AND EXISTS "${SOURCE_DIR}/${folder}/CMakeLists.txt")
        file(READ "${SOURCE_DIR}/${folder}/CMakeLists.txt" lists_text)
        if(is_core AND lists_text MATCHES "target_sources\\([ \t\n]*plumbrook_ui")
            list(APPEND violations "${folder}/CMakeLists.txt: core folder adds sources to plumbrook_ui")
        elseif(NOT is_core AND lists_text MATCHES "target_sources\\([ \t\n]*plumbrook_core")
            list(APPEND violations "${folder}/CMakeLists.txt: UI folder adds sources to plumbrook_core")
        endif()
    endif()

    file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
        "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
    list(SORT sources)
    foreach(source IN LISTS sources)
        file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
            # Quoted project includes name their folder first.
            if(line MATCHES "\"" AND header MATCHES "^([a-z_]+)/")
                set(target_folder "${CMAKE_MATCH_1}")
                layer_rank(${target_folder} target_rank)
                if(target_rank GREATER own_rank)
                    list(APPEND violations "${source}: includes ${header}, a layer above ${folder}/")
                endif()
            endif()
            if(is_core)
                string(REGEX REPLACE "^QtWidgets/" "" bare "${header}")
                if(header STREQUAL "QtWidgets" OR header MATCHES "^QtWidgets/"
                   OR bare IN_LIST widget_headers OR header MATCHES "^ui_[a-z_]+\\.h$")
                    list(APPEND violations "${source}: includes <${header}> of Qt Widgets in a core folder")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

if(EXPECT)
    file(STRINGS "${EXPECT}" expected REGEX "^[^#]")
    set(missing ${expected})
    set(unexpected ${violations})
    if(expected)
        list(REMOVE_ITEM unexpected ${expected})
    endif()
    if(violations)
        list(REMOVE_ITEM missing ${violations})
    endif()
    foreach(item IN LISTS missing)
        message(SEND_ERROR "not reported: ${item}")
    endforeach()
    foreach(item IN LISTS unexpected)
        message(SEND_ERROR "reported but not expected: ${item}")
    endforeach()
    return()
endif()

if(violations)
    foreach(item IN LISTS violations)
        message(STATUS "${item}")
    endforeach()
    list(LENGTH violations count)
    message(FATAL_ERROR "${count} include(s) against the layer order "
        "model -> codegen -> net -> components -> canvas -> app")
endif()
