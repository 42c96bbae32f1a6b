# GoogleTest from its sources (Debian's googletest package) for both builds,
# and the Wine test harness for Windows test executables.
include(CTest)
if(NOT BUILD_TESTING)
    return()
endif()

set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(EXISTS ${GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest REQUIRED)
    if(NOT TARGET gmock_main)
        add_library(gmock_main ALIAS GTest::gmock_main)
    endif()
endif()
include(GoogleTest)

if(CMAKE_CROSSCOMPILING AND WIN32)
    # Every Windows test runs under Wine, in a private prefix and an Xvfb
    # display that the wrapper starts on first use inside the build tree.
    set(HARNESS_DIR ${CMAKE_BINARY_DIR}/harness)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(HARNESS_WINE /usr/lib/wine/wine64)
        set(HARNESS_WINEARCH win64)
    else()
        set(HARNESS_WINE wine)
        set(HARNESS_WINEARCH win32)
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/tests/harness/wine-run.sh.in ${HARNESS_DIR}/wine-run.sh
                   @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                   GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    configure_file(${PROJECT_SOURCE_DIR}/tests/harness/harness-stop.sh.in ${HARNESS_DIR}/harness-stop.sh
                   @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                   GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${HARNESS_DIR}/wine-run.sh)
    add_test(NAME harness_stop COMMAND ${HARNESS_DIR}/harness-stop.sh)
    set_tests_properties(harness_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)
endif()

# register_gtest(target [BOTH_PATHS] [SERIAL]): CTest runs the executable's
# tests one by one (natively, or under Wine in the Windows build). Under Wine
# a view control draws a child window's frames on a hidden surface, while
# Windows draws them in the child itself; BOTH_PATHS registers the tests a
# second time with the direct path forced (ORVANE_NATIVE_CHILD_GL=1), named
# "native." and labelled native, the first run labelled surface. SERIAL: the
# tests read the screen or move the pointer, so each runs alone.
function(register_gtest name)
    cmake_parse_arguments(T "BOTH_PATHS;SERIAL" "" "" ${ARGN})
    if(NOT (CMAKE_CROSSCOMPILING AND WIN32))
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS host TIMEOUT 120)
        return()
    endif()
    set(props FIXTURES_REQUIRED wine TIMEOUT 120)
    if(T_SERIAL)
        list(APPEND props RUN_SERIAL TRUE)
    endif()
    # The executable is also run whole ("whole.<name>"), as a developer runs
    # it: no test may rely on being alone in its process (a few seconds each).
    # The 64-bit build runs them on Wine's own path only: the direct path's
    # code is the same on both architectures and is run by the 32-bit build.
    if(NOT T_BOTH_PATHS OR CMAKE_SIZEOF_VOID_P EQUAL 8)
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${props} LABELS wine)
        add_test(NAME whole.${name} COMMAND ${name})
        set_tests_properties(whole.${name} PROPERTIES ${props} LABELS "wine;whole")
        return()
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES ${props} LABELS surface ENVIRONMENT ORVANE_NATIVE_CHILD_GL=0)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX native.
        PROPERTIES ${props} LABELS native ENVIRONMENT ORVANE_NATIVE_CHILD_GL=1)
    add_test(NAME whole.${name} COMMAND ${name})
    set_tests_properties(whole.${name} PROPERTIES ${props} LABELS "surface;whole" ENVIRONMENT ORVANE_NATIVE_CHILD_GL=0)
    add_test(NAME native.whole.${name} COMMAND ${name})
    set_tests_properties(native.whole.${name} PROPERTIES ${props} LABELS "native;whole"
                         ENVIRONMENT ORVANE_NATIVE_CHILD_GL=1)
endfunction()

# add_gtest(name SOURCES ... [LIBS ...] [BOTH_PATHS] [SERIAL]): a GoogleTest
# executable registered with register_gtest.
function(add_gtest name)
    cmake_parse_arguments(T "BOTH_PATHS;SERIAL" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gmock_main)
    project_warnings(${name})
    set(flags)
    if(T_BOTH_PATHS)
        list(APPEND flags BOTH_PATHS)
    endif()
    if(T_SERIAL)
        list(APPEND flags SERIAL)
    endif()
    register_gtest(${name} ${flags})
endfunction()
