# Warnings for every target of the project (not for GoogleTest).
function(project_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra)
    endif()
endfunction()

# A shipped module (the program and the three libraries) has no
# function-local static that needs a first-use guard (C++11 thread-safe
# statics): the toolchain's guard allocates its lock at the first use, and
# ends the process or hangs when that allocation fails. The link of such a module fails when any object in it asks for
# the guard (undefined reference to __wrap___cxa_guard_acquire, from the
# object and function that hold the static); tests may use them freely.
function(no_static_guards target)
    if(NOT MSVC)
        target_link_options(${target} PRIVATE -Wl,--wrap=__cxa_guard_acquire)
    endif()
endfunction()
