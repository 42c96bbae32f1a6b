# Warnings for every target of the project (not for GoogleTest).
function(project_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra)
    endif()
endfunction()

# Code of a shipped module (the program, the three libraries and the static
# libraries compiled into them) uses no C++ exceptions and no RTTI: every
# allocation that can fail is checked where it is made (memory/), so nothing
# of the toolchain's exception runtime is linked, replaced or relied on, and
# a module loads and unloads with no exception raised and nothing kept.
function(plain_code target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /EHs-c- /GR-)
        target_compile_definitions(${target} PRIVATE _HAS_EXCEPTIONS=0)
    else()
        target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
    endif()
endfunction()

# The C++ runtime's paths that throw: the std::__throw_* helpers its
# containers and strings call, the throw itself, and operator new in every
# form (the nothrow forms call the throwing one). And the first-use guard of
# a function's static, which allocates a lock at the first use and ends the
# process or hangs when that fails.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_size_t y)   # unsigned long long on 64-bit Windows
else()
    set(_size_t j)   # unsigned int
endif()
set(RUNTIME_PATHS_REFUSED
    _ZSt17__throw_bad_allocv _ZSt28__throw_bad_array_new_lengthv _ZSt16__throw_bad_castv
    _ZSt21__throw_bad_exceptionv _ZSt25__throw_bad_function_callv _ZSt18__throw_bad_typeidv
    _ZSt19__throw_domain_errorPKc _ZSt20__throw_future_errori _ZSt24__throw_invalid_argumentPKc
    _ZSt19__throw_ios_failurePKc _ZSt19__throw_ios_failurePKci _ZSt20__throw_length_errorPKc
    _ZSt19__throw_logic_errorPKc _ZSt20__throw_out_of_rangePKc _ZSt24__throw_out_of_range_fmtPKcz
    _ZSt21__throw_overflow_errorPKc _ZSt18__throw_range_errorPKc
    _ZSt19__throw_regex_errorNSt15regex_constants10error_typeE _ZSt20__throw_runtime_errorPKc
    _ZSt19__throw_system_errori _ZSt22__throw_underflow_errorPKc
    __cxa_throw __cxa_rethrow __cxa_allocate_exception __cxa_guard_acquire)
foreach(form "" RKSt9nothrow_t St11align_val_t St11align_val_tRKSt9nothrow_t)
    list(APPEND RUNTIME_PATHS_REFUSED _Znw${_size_t}${form} _Zna${_size_t}${form})
endforeach()

# A shipped module: plain code, and a link that fails when any of its
# objects, or anything they pull in, refers to one of those paths
# ("undefined reference to `__wrap_...'", naming the object and function
# that asked). The toolchain's runtime is linked statically, so the module
# needs no MinGW runtime DLL whichever MinGW toolchain builds it.
function(plain_module target)
    plain_code(${target})
    if(NOT MSVC)
        list(TRANSFORM RUNTIME_PATHS_REFUSED PREPEND "-Wl,--wrap=" OUTPUT_VARIABLE wraps)
        target_link_options(${target} PRIVATE ${wraps})
    endif()
endfunction()
