# A DLL whose __stdcall exports carry undecorated names, listed in a .def
# file under contracts/ in their 32-bit decorated form (Name@bytes). On x64
# (and with MSVC) the same names are exported from an undecorated copy of
# the list, made here. Each entry carries its fixed ordinal (Name@bytes @N),
# which every form of the list keeps.
# undecorated_def(<decorated .def> <output>): the same list with the names
# as the DLL exports them (Name@bytes becomes Name, the ordinal stays),
# rewritten only when it changes.
function(undecorated_def deffile output)
    file(READ ${deffile} def_text)
    string(REGEX REPLACE "([A-Za-z0-9_])@[0-9]+" "\\1" def_text "${def_text}")
    file(WRITE ${output}.new "${def_text}")
    file(COPY_FILE ${output}.new ${output} ONLY_IF_DIFFERENT)
    file(REMOVE ${output}.new)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${deffile})
endfunction()

function(add_stdcall_dll target deffile)
    if(MSVC OR CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(plain_def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
        undecorated_def(${deffile} ${plain_def})
        set(deffile ${plain_def})
    endif()
    add_library(${target} SHARED ${ARGN} ${deffile})
    if(NOT MSVC)
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            target_link_options(${target} PRIVATE -Wl,--kill-at)
        endif()
        # --kill-at makes the linker's own import library unusable for
        # __stdcall callers; replace it with one that maps Name@bytes to Name
        # (on x64 the names are plain on both sides).
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_DLLTOOL} -k -d ${deffile} -D ${target}.dll
                    -l $<TARGET_LINKER_FILE:${target}>
            VERBATIM)
    endif()
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/contracts)
    project_warnings(${target})
    plain_module(${target})
    if(DEFINED PROGRAM_DIR)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROGRAM_DIR}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${PROGRAM_DIR}/
            VERBATIM)
    endif()
endfunction()
