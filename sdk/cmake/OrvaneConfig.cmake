# The Orvane SDK as a CMake package:
#   find_package(Orvane CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE Orvane::orvane Orvane::md2ex Orvane::pelmar)
# Each target brings the SDK's include folder and the import library for the
# linker in use: <name>.lib for Microsoft's, lib<name>.dll.a for MinGW's.
# IMPORTED_LOCATION names the DLL in bin/, to copy beside the program
# ($<TARGET_FILE:Orvane::orvane>). The SDK holds the libraries for 32-bit
# (bin/x86, lib/x86) and 64-bit programs (bin/x64, lib/x64); the caller's
# pointer size picks them. The header is the same for both.
get_filename_component(_orvane_root "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_orvane_arch x64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(_orvane_arch x86)
else()
    set(Orvane_FOUND FALSE)
    set(Orvane_NOT_FOUND_MESSAGE "The Orvane SDK has libraries for x86 and x64 programs only")
    return()
endif()

foreach(_orvane_lib IN ITEMS orvane md2ex pelmar)
    if(TARGET Orvane::${_orvane_lib})
        continue()
    endif()
    if(MSVC)
        set(_orvane_implib "${_orvane_root}/lib/${_orvane_arch}/${_orvane_lib}.lib")
    else()
        set(_orvane_implib "${_orvane_root}/lib/${_orvane_arch}/lib${_orvane_lib}.dll.a")
    endif()
    foreach(_orvane_file IN ITEMS "${_orvane_implib}" "${_orvane_root}/bin/${_orvane_arch}/${_orvane_lib}.dll"
                                  "${_orvane_root}/include/${_orvane_lib}.h")
        if(NOT EXISTS "${_orvane_file}")
            set(Orvane_FOUND FALSE)
            set(Orvane_NOT_FOUND_MESSAGE "The Orvane SDK in ${_orvane_root} has no ${_orvane_file}")
            return()
        endif()
    endforeach()
    add_library(Orvane::${_orvane_lib} SHARED IMPORTED)
    set_target_properties(Orvane::${_orvane_lib} PROPERTIES
        IMPORTED_LOCATION "${_orvane_root}/bin/${_orvane_arch}/${_orvane_lib}.dll"
        IMPORTED_IMPLIB "${_orvane_implib}"
        INTERFACE_INCLUDE_DIRECTORIES "${_orvane_root}/include")
endforeach()
unset(_orvane_lib)
unset(_orvane_file)
unset(_orvane_implib)
unset(_orvane_root)
unset(_orvane_arch)
