# The Orvane SDK as a CMake package:
#   find_package(Orvane CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE Orvane::orvane Orvane::md2ex Orvane::pelmar)
# Each target brings the SDK's include folder and the import library for the
# compiler's ABI: <name>.lib for the Microsoft ABI (Visual C++, clang-cl, and
# clang targeting *-windows-msvc through either driver), lib<name>.dll.a for
# MinGW's (GCC, or clang targeting *-windows-gnu). IMPORTED_LOCATION names
# the DLL in bin/, to copy beside the program ($<TARGET_FILE:Orvane::orvane>).
# The SDK holds the libraries for 32-bit (bin/x86, lib/x86) and 64-bit x86
# programs (bin/x64, lib/x64), picked by the compiler's target architecture;
# any other architecture (ARM64 among them) is not found, saying so. The
# headers are the same for both.
get_filename_component(_orvane_root "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

# The compiler that decides: C++'s when the project has it, else C's.
set(_orvane_lang CXX)
if(NOT CMAKE_CXX_COMPILER_ID AND CMAKE_C_COMPILER_ID)
    set(_orvane_lang C)
endif()
set(_orvane_msvc_abi FALSE)
if(MSVC OR CMAKE_${_orvane_lang}_COMPILER_ID STREQUAL "MSVC"
   OR CMAKE_${_orvane_lang}_SIMULATE_ID STREQUAL "MSVC")
    set(_orvane_msvc_abi TRUE)
endif()

# The architecture: the compiler's own id where CMake knows one (Visual C++,
# clang in the Microsoft ABI); otherwise the target processor, which on x86
# hosts leaves the pointer size to tell 32 from 64 bits (a 32-bit MinGW on a
# 64-bit Windows reports AMD64).
set(_orvane_arch_id "${CMAKE_${_orvane_lang}_COMPILER_ARCHITECTURE_ID}")
if(_orvane_arch_id STREQUAL "")
    set(_orvane_arch_id "${CMAKE_SYSTEM_PROCESSOR}")
    if(_orvane_arch_id MATCHES "^([xX]86|i[3-6]86|[xX]64|x86_64|AMD64|amd64|EM64T)?$")
        if(CMAKE_SIZEOF_VOID_P EQUAL 8)
            set(_orvane_arch_id x64)
        elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
            set(_orvane_arch_id x86)
        endif()
    endif()
endif()
if(_orvane_arch_id MATCHES "^([xX]86|i[3-6]86)$")
    set(_orvane_arch x86)
elseif(_orvane_arch_id MATCHES "^([xX]64|x86_64|AMD64|amd64)$")
    set(_orvane_arch x64)
else()
    set(Orvane_FOUND FALSE)
    set(Orvane_NOT_FOUND_MESSAGE
        "The Orvane SDK has libraries for x86 and x64 programs only, not for this compiler's architecture (${_orvane_arch_id})")
    unset(_orvane_arch_id)
    unset(_orvane_lang)
    unset(_orvane_msvc_abi)
    unset(_orvane_root)
    return()
endif()

foreach(_orvane_lib IN ITEMS orvane md2ex pelmar)
    if(TARGET Orvane::${_orvane_lib})
        continue()
    endif()
    if(_orvane_msvc_abi)
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
unset(_orvane_arch_id)
unset(_orvane_lang)
unset(_orvane_msvc_abi)
