# link_with_win32_fakes(target library): links target with a copy of the static
# library whose Win32 imports listed in fakes/win32_imports.txt are renamed to
# the recording stand-ins of fakes/win32_fake.cpp. The library itself is untouched.
function(link_with_win32_fakes target library)
    set(syms_file ${CMAKE_BINARY_DIR}/fakes/win32_fake.syms)
    file(STRINGS ${PROJECT_SOURCE_DIR}/fakes/win32_imports.txt import_lines REGEX "^[A-Za-z]")
    set(syms "")
    foreach(line IN LISTS import_lines)
        string(REGEX MATCH "^([A-Za-z0-9_]+) ([0-9]+)" _ "${line}")
        string(APPEND syms "__imp__${CMAKE_MATCH_1}@${CMAKE_MATCH_2} _fakewin_${CMAKE_MATCH_1}\n")
    endforeach()
    file(WRITE ${syms_file} "${syms}")

    set(faked ${CMAKE_CURRENT_BINARY_DIR}/lib${library}_win32fakes.a)
    add_custom_command(OUTPUT ${faked}
        COMMAND ${CMAKE_OBJCOPY} --redefine-syms=${syms_file} $<TARGET_FILE:${library}> ${faked}
        DEPENDS ${library} ${syms_file}
        VERBATIM)
    add_custom_target(${target}_faked_${library} DEPENDS ${faked})
    add_dependencies(${target} ${target}_faked_${library})
    target_link_libraries(${target} PRIVATE ${faked} fakes)
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:${library},INTERFACE_INCLUDE_DIRECTORIES>)
endfunction()
