# Windows programs of the cross-build run under Wine, in a prefix of their own inside the build
# folder. Every Wine process writes its stderr to one file: a server that Wine starts inherits
# the handles, and CTest would wait for them otherwise.
find_program(SPRELIO_WINE wine)
if(SPRELIO_WINE)
    set(SPRELIO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(SPRELIO_WINE_STDERR ${CMAKE_BINARY_DIR}/wine-stderr.log)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()
