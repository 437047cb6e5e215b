# Lays out the Windows zip: the programs, the Qt plugins they load, every DLL they
# import that Windows does not have, and the README. Run with cmake -P and
#   STAGE   the folder to fill (emptied first)     ZIP       the zip to write
#   PROGRAMS the executables                        DLL_DIRS  where imported DLLs are found
#   PLUGINS  the Qt plugin folder                   OBJDUMP   the cross objdump
#   README   the README.txt to carry
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY ${PROGRAMS} ${README} DESTINATION ${STAGE})
# Only the plugins a widgets program on Windows loads: its platform (and the headless
# one, for checks), its style, picture formats, and Windows' own TLS for the updater.
foreach(plugin platforms/qwindows platforms/qoffscreen styles/qwindowsvistastyle tls/qschannelbackend
               tls/qcertonlybackend imageformats/qgif imageformats/qico imageformats/qjpeg)
    if(EXISTS ${PLUGINS}/${plugin}.dll)
        get_filename_component(dir ${plugin} DIRECTORY)
        file(COPY ${PLUGINS}/${plugin}.dll DESTINATION ${STAGE}/${dir})
    elseif(plugin MATCHES "^(platforms|styles)/|qschannel")
        message(FATAL_ERROR "Qt plugin ${plugin}.dll is missing from ${PLUGINS}")
    endif()
endforeach()

# Imported DLLs, followed transitively; those found in none of DLL_DIRS are Windows' own.
file(GLOB_RECURSE pending ${STAGE}/*.exe ${STAGE}/*.dll)
set(seen "")
while(pending)
    list(POP_FRONT pending binary)
    execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} cannot read ${binary}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
    foreach(line ${imports})
        string(REGEX REPLACE "DLL Name: " "" name "${line}")
        string(STRIP "${name}" name)
        string(TOLOWER "${name}" key)
        if(key IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${key})
        foreach(dir ${DLL_DIRS})
            file(GLOB candidates ${dir}/*.dll)
            foreach(candidate ${candidates})
                get_filename_component(file_name ${candidate} NAME)
                string(TOLOWER "${file_name}" file_key)
                if(file_key STREQUAL key)
                    file(COPY ${candidate} DESTINATION ${STAGE})
                    list(APPEND pending ${STAGE}/${file_name})
                    break()
                endif()
            endforeach()
        endforeach()
    endforeach()
endwhile()

get_filename_component(parent ${STAGE} DIRECTORY)
get_filename_component(top ${STAGE} NAME)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${top}
    WORKING_DIRECTORY ${parent} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Cannot write ${ZIP}")
endif()
