# Windows libraries for our modules. The system's known libraries (the
# KnownDLLs, which Windows always takes from the system folder) are ordinary
# imports. Every other one is imported late (delay-load), through a
# delay-import library made here from the
# toolchain's import library, and is resolved at its first call from the
# system folder only (win32/system_library.cpp), so that a file of the same
# name beside a program is never loaded. Only the program and tests import
# late: the libraries link known libraries alone and look up the few other
# calls they make at run time (win32/common_controls.h), which every
# toolchain builds.
#
#   system_libraries(<target> <PUBLIC|PRIVATE|INTERFACE> lib...)
#
# The module linking the target must also link win32_platform, which holds
# the resolver.
# Calls reach a late import through its stub: the table entry of a late
# import starts out pointing into the stub, and MinGW's linker leaves out the
# stub of a function named only through its table entry (as a header's
# dllimport declaration names it). So the headers of the late libraries
# declare their functions plainly.
if(NOT MSVC)
    add_compile_definitions(_GDI32_ _COMCTL32_)
endif()

# C names carry a leading underscore on 32-bit x86 only.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(C_SYMBOL_PREFIX _)
else()
    set(C_SYMBOL_PREFIX "")
endif()

set(KNOWN_SYSTEM_LIBRARIES kernel32 user32 gdi32 advapi32 ole32 oleaut32 shell32 shlwapi comdlg32 msvcrt)
set(LATE_IMPORT_DIR ${CMAKE_BINARY_DIR}/late_imports)
# Functions a toolchain's import library may lack (MinGW-w64's 64-bit
# comctl32 has no GetWindowSubclass), added by name where it does.
set(LATE_IMPORT_EXTRA_comctl32 GetWindowSubclass)

function(_late_import_library lib)
    if(TARGET late_${lib})
        return()
    endif()
    add_library(late_${lib} INTERFACE)
    if(MSVC)
        target_link_libraries(late_${lib} INTERFACE ${lib} delayimp)
        target_link_options(late_${lib} INTERFACE /DELAYLOAD:${lib}.dll)
        return()
    endif()
    find_library(IMPORT_${lib} NAMES ${lib} REQUIRED)
    execute_process(COMMAND ${CMAKE_NM} -g ${IMPORT_${lib}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "__imp_${C_SYMBOL_PREFIX}[A-Za-z0-9_@]+" symbols "${symbols}")
    list(TRANSFORM symbols REPLACE "^__imp_${C_SYMBOL_PREFIX}" "")
    foreach(extra IN LISTS LATE_IMPORT_EXTRA_${lib})
        if(NOT symbols MATCHES "(^|;)${extra}(@|;|$)")
            list(APPEND symbols ${extra})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES symbols)
    list(JOIN symbols "\n    " exports)
    set(def ${LATE_IMPORT_DIR}/${lib}.def)
    set(archive ${LATE_IMPORT_DIR}/lib${lib}_late.a)
    file(WRITE ${def}.new "LIBRARY ${lib}.dll\nEXPORTS\n    ${exports}\n")
    file(COPY_FILE ${def}.new ${def} ONLY_IF_DIFFERENT)
    add_custom_command(OUTPUT ${archive}
        COMMAND ${CMAKE_DLLTOOL} -k -d ${def} -D ${lib}.dll -y ${archive}
        DEPENDS ${def}
        VERBATIM)
    add_custom_target(late_${lib}_archive DEPENDS ${archive})
    add_dependencies(late_${lib} late_${lib}_archive)
    # The resolver lives in win32_platform, an archive: the linker must keep it.
    target_link_libraries(late_${lib} INTERFACE ${archive})
    target_link_options(late_${lib} INTERFACE -Wl,--undefined=${C_SYMBOL_PREFIX}__pfnDliNotifyHook2)
endfunction()

function(system_libraries target scope)
    foreach(lib IN LISTS ARGN)
        string(TOLOWER ${lib} lib)
        if(lib IN_LIST KNOWN_SYSTEM_LIBRARIES)
            target_link_libraries(${target} ${scope} ${lib})
        else()
            _late_import_library(${lib})
            target_link_libraries(${target} ${scope} late_${lib})
        endif()
    endforeach()
endfunction()
