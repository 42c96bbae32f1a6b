# A DLL whose __stdcall exports carry undecorated names, listed in a .def
# file under contracts/ in their decorated form (Name@bytes).
function(add_stdcall_dll target deffile)
    if(MSVC)
        # MSVC maps undecorated .def names to the __stdcall symbols itself.
        file(READ ${deffile} def_text)
        string(REGEX REPLACE "@[0-9]+" "" def_text "${def_text}")
        set(plain_def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
        file(WRITE ${plain_def} "${def_text}")
        add_library(${target} SHARED ${ARGN} ${plain_def})
    else()
        add_library(${target} SHARED ${ARGN} ${deffile})
        target_link_options(${target} PRIVATE -Wl,--kill-at)
        # --kill-at makes the linker's own import library unusable for
        # __stdcall callers; replace it with one that maps Name@bytes to Name.
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_DLLTOOL} -k -d ${deffile} -D ${target}.dll
                    -l $<TARGET_LINKER_FILE:${target}>
            VERBATIM)
    endif()
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/contracts)
    project_warnings(${target})
    if(DEFINED PROGRAM_DIR)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROGRAM_DIR}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${PROGRAM_DIR}/
            VERBATIM)
    endif()
endfunction()
