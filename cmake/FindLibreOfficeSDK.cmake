# Finds the LibreOffice SDK as Debian's libreoffice-dev installs it, which ships neither a
# pkg-config file nor the generated C++ headers of the UNO types.
#
# Result:
#   LibreOfficeSDK_FOUND
#   LibreOffice::SDK            imported target: include folder, the three UNO libraries, -DLINUX -DUNX
#                               and an rpath to the office's program folder
#   libreoffice_generate_types(<target> <type>...)
#                               generates the C++ headers of the named UNO types (and the types they
#                               depend on) with cppumaker at build time and adds them to <target>
#
# Hints: LibreOfficeSDK_ROOT (default /usr/lib/libreoffice/sdk), LibreOffice_PROGRAM_DIR (default
# /usr/lib/libreoffice/program).

set(_lo_sdk_hint "${LibreOfficeSDK_ROOT}")
if(NOT _lo_sdk_hint)
    set(_lo_sdk_hint /usr/lib/libreoffice/sdk)
endif()
set(_lo_program_hint "${LibreOffice_PROGRAM_DIR}")
if(NOT _lo_program_hint)
    set(_lo_program_hint /usr/lib/libreoffice/program)
endif()

find_program(LibreOfficeSDK_CPPUMAKER cppumaker PATHS "${_lo_sdk_hint}/bin" NO_DEFAULT_PATH)
find_path(LibreOfficeSDK_INCLUDE_DIR cppuhelper/bootstrap.hxx
          PATHS "${_lo_sdk_hint}/include" /usr/include/libreoffice NO_DEFAULT_PATH)
find_library(LibreOfficeSDK_CPPUHELPER_LIBRARY uno_cppuhelpergcc3 PATHS "${_lo_sdk_hint}/lib" NO_DEFAULT_PATH)
find_library(LibreOfficeSDK_CPPU_LIBRARY uno_cppu PATHS "${_lo_sdk_hint}/lib" NO_DEFAULT_PATH)
find_library(LibreOfficeSDK_SAL_LIBRARY uno_sal PATHS "${_lo_sdk_hint}/lib" NO_DEFAULT_PATH)
find_file(LibreOfficeSDK_TYPES_RDB types.rdb PATHS "${_lo_program_hint}" NO_DEFAULT_PATH)
find_file(LibreOfficeSDK_OFFAPI_RDB offapi.rdb PATHS "${_lo_program_hint}/types" NO_DEFAULT_PATH)
get_filename_component(LibreOffice_PROGRAM_DIR "${LibreOfficeSDK_TYPES_RDB}" DIRECTORY)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(LibreOfficeSDK
    REQUIRED_VARS LibreOfficeSDK_CPPUMAKER LibreOfficeSDK_INCLUDE_DIR LibreOfficeSDK_CPPUHELPER_LIBRARY
                  LibreOfficeSDK_CPPU_LIBRARY LibreOfficeSDK_SAL_LIBRARY LibreOfficeSDK_TYPES_RDB
                  LibreOfficeSDK_OFFAPI_RDB)
mark_as_advanced(LibreOfficeSDK_CPPUMAKER LibreOfficeSDK_INCLUDE_DIR LibreOfficeSDK_CPPUHELPER_LIBRARY
                 LibreOfficeSDK_CPPU_LIBRARY LibreOfficeSDK_SAL_LIBRARY LibreOfficeSDK_TYPES_RDB
                 LibreOfficeSDK_OFFAPI_RDB)

if(LibreOfficeSDK_FOUND AND NOT TARGET LibreOffice::SDK)
    add_library(LibreOffice::SDK INTERFACE IMPORTED)
    # The SDK's headers are not warning-clean under our flags: as system headers they stay quiet.
    target_include_directories(LibreOffice::SDK SYSTEM INTERFACE "${LibreOfficeSDK_INCLUDE_DIR}")
    target_compile_definitions(LibreOffice::SDK INTERFACE LINUX UNX)
    target_link_libraries(LibreOffice::SDK INTERFACE "${LibreOfficeSDK_CPPUHELPER_LIBRARY}"
                          "${LibreOfficeSDK_CPPU_LIBRARY}" "${LibreOfficeSDK_SAL_LIBRARY}")
    # The SDK's libraries are links into the office; at run time they come from the office itself.
    target_link_options(LibreOffice::SDK INTERFACE "LINKER:-rpath,${LibreOffice_PROGRAM_DIR}")
endif()

function(libreoffice_generate_types target)
    # cppumaker writes below an absolute folder only.
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_unotypes")
    set(stamp "${out}/.generated")
    list(TRANSFORM ARGN PREPEND "-T" OUTPUT_VARIABLE type_options)
    add_custom_command(
        OUTPUT "${stamp}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${out}"
        COMMAND "${LibreOfficeSDK_CPPUMAKER}" -Gc "-O${out}" ${type_options}
                "${LibreOfficeSDK_TYPES_RDB}" "${LibreOfficeSDK_OFFAPI_RDB}"
        COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
        DEPENDS "${LibreOfficeSDK_TYPES_RDB}" "${LibreOfficeSDK_OFFAPI_RDB}"
        COMMENT "Generating the UNO type headers of ${target}"
        VERBATIM)
    add_custom_target(${target}_unotypes DEPENDS "${stamp}")
    add_dependencies(${target} ${target}_unotypes)
    target_include_directories(${target} SYSTEM PRIVATE "${out}")
endfunction()
