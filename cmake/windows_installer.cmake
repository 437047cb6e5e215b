# Builds the setup program from the folder the Windows zip is packed from, so that both
# carry the same files. Run with cmake -P and
#   STAGE     the zip's folder                 OUTFILE   the setup program to write
#   NSI       packaging/windows/installer.nsi  MAKENSIS  the makensis to run
#   VERSION   the version it installs          PUBLISHER the name under installed apps
#   SITE      the maker's home page        COMPRESSOR (optional) zlib for a quick build
#                                          that no user downloads, instead of LZMA
cmake_minimum_required(VERSION 3.25)

# NSIS wants Windows' separators in the paths it reads at build time as well.
function(windows_path out path)
    string(REPLACE "/" "\\" converted "${path}")
    set(${out} "${converted}" PARENT_SCOPE)
endfunction()

# The install list copies each file; the uninstall list removes exactly those files and
# then their folders, deepest first, each only when nothing else is left in it.
file(GLOB_RECURSE files RELATIVE ${STAGE} LIST_DIRECTORIES false ${STAGE}/*)
if(NOT "plumbrook.exe" IN_LIST files)
    message(FATAL_ERROR "${STAGE} holds no plumbrook.exe")
endif()
list(SORT files)
set(install "")
set(uninstall "")
set(dirs "")
set(current_dir "-")
foreach(file ${files})
    get_filename_component(dir "${file}" DIRECTORY)
    windows_path(target "${file}")
    if(NOT dir STREQUAL current_dir)
        windows_path(target_dir "${dir}")
        string(APPEND install "SetOutPath \"$INSTDIR\\${target_dir}\"\n")
        set(current_dir "${dir}")
        if(dir)
            list(APPEND dirs "${dir}")
        endif()
    endif()
    string(APPEND install "File \"${STAGE}/${file}\"\n")
    string(APPEND uninstall "Delete \"$INSTDIR\\${target}\"\n")
endforeach()
list(REMOVE_DUPLICATES dirs)
list(SORT dirs ORDER DESCENDING)
foreach(dir ${dirs})
    windows_path(target_dir "${dir}")
    string(APPEND uninstall "RMDir \"$INSTDIR\\${target_dir}\"\n")
endforeach()
string(REPLACE "$INSTDIR\\\"" "$INSTDIR\"" install "${install}")

get_filename_component(work ${OUTFILE} DIRECTORY)
get_filename_component(name ${OUTFILE} NAME_WE)
set(files_nsh ${work}/${name}-files.nsh)
set(unfiles_nsh ${work}/${name}-unfiles.nsh)
file(WRITE ${files_nsh} "${install}")
file(WRITE ${unfiles_nsh} "${uninstall}")

get_filename_component(icons ${NSI} DIRECTORY)
set(compressor "")
if(COMPRESSOR)
    set(compressor -DCOMPRESSOR=${COMPRESSOR})
endif()
execute_process(
    COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 ${compressor} -DVERSION=${VERSION} -DOUTFILE=${OUTFILE}
        -DFILES=${files_nsh} -DUNFILES=${unfiles_nsh} -DICONS=${icons}
        -DPUBLISHER=${PUBLISHER} -DSITE=${SITE} ${NSI}
    RESULT_VARIABLE failed)
file(REMOVE ${files_nsh} ${unfiles_nsh})
if(failed)
    file(REMOVE ${OUTFILE})
    message(FATAL_ERROR "makensis could not build ${OUTFILE}")
endif()
