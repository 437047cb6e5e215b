# The Windows build: its zip and, in a cross build, running its programs under wine.
if(NOT CMAKE_CROSSCOMPILING)
    return()
endif()

# Where the DLLs the programs import come from: the SDK, the compiler's runtime, zlib.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
    OUTPUT_VARIABLE _plumbrook_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
    OUTPUT_VARIABLE _plumbrook_winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(_plumbrook_gcc_dir ${_plumbrook_libstdcxx} DIRECTORY)
get_filename_component(_plumbrook_mingw_lib ${_plumbrook_winpthread} DIRECTORY)
get_filename_component(_plumbrook_mingw_lib ${_plumbrook_mingw_lib} REALPATH)
set(PLUMBROOK_DLL_DIRS ${PLUMBROOK_WIN64_SDK}/qt/bin ${PLUMBROOK_WIN64_SDK}/bin
    ${_plumbrook_gcc_dir} ${_plumbrook_mingw_lib})
set(PLUMBROOK_QT_PLUGINS ${PLUMBROOK_WIN64_SDK}/qt/plugins)

# Every test and check runs its program through wine, in a prefix of this build's own.
find_program(PLUMBROOK_WINE wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(PLUMBROOK_WINE)
    list(JOIN PLUMBROOK_DLL_DIRS " " PLUMBROOK_DLL_DIR_WORDS)
    set(PLUMBROOK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
        @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

# make windows: build-windows/Plumbrook-<version>-win64.zip.
set(PLUMBROOK_PACKAGE_NAME Plumbrook-${PROJECT_VERSION}-win64)
set(PLUMBROOK_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package/${PLUMBROOK_PACKAGE_NAME})
set(PLUMBROOK_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${PLUMBROOK_PACKAGE_NAME}.zip)
add_custom_target(windows_zip
    COMMAND ${CMAKE_COMMAND} -DSTAGE=${PLUMBROOK_PACKAGE_STAGE} -DZIP=${PLUMBROOK_PACKAGE_ZIP}
        "-DPROGRAMS=$<TARGET_FILE:plumbrook>;$<TARGET_FILE:modulegen>"
        "-DDLL_DIRS=${PLUMBROOK_DLL_DIRS}" -DPLUGINS=${PLUMBROOK_QT_PLUGINS}
        -DOBJDUMP=${CMAKE_OBJDUMP} -DREADME=${CMAKE_SOURCE_DIR}/resources/windows/README.txt
        -P ${CMAKE_CURRENT_LIST_DIR}/windows_package.cmake
    DEPENDS plumbrook modulegen
    BYPRODUCTS ${PLUMBROOK_PACKAGE_ZIP}
    COMMENT "Packing ${PLUMBROOK_PACKAGE_NAME}.zip"
    VERBATIM)

if(NOT PLUMBROOK_WINE)
    return()
endif()
enable_testing()

# The zip as a user unpacks it: every DLL imported is in it or is Windows' own.
set(PLUMBROOK_WINE_DLLS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
add_test(NAME windows_zip_contents
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-windows-zip ${PLUMBROOK_PACKAGE_ZIP}
        ${CMAKE_OBJDUMP} ${PLUMBROOK_WINE_DLLS})

# The unpacked program starts, shows its window and quits, with nothing but the zip's DLLs.
add_test(NAME windows_program_starts
    COMMAND ${CMAKE_COMMAND} -E env PLUMBROOK_WINE_ONLY_PACKAGE=1 QT_QPA_PLATFORM=offscreen
        ${CMAKE_BINARY_DIR}/wine-run ${PLUMBROOK_PACKAGE_STAGE}/plumbrook.exe --quit-after-start)
set_tests_properties(windows_program_starts PROPERTIES TIMEOUT 300)

# modulegen.exe writes what the Linux modulegen writes, byte for byte, in both encodings.
set(PLUMBROOK_HOST_MODULEGEN "" CACHE FILEPATH "The Linux modulegen to compare with")
if(PLUMBROOK_HOST_MODULEGEN)
    add_test(NAME windows_modulegen_matches_linux
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/compare-modulegen ${PLUMBROOK_HOST_MODULEGEN}
            ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:modulegen>
            ${CMAKE_SOURCE_DIR}/tests/data/generation)
    set_tests_properties(windows_modulegen_matches_linux PROPERTIES TIMEOUT 600)
endif()
