# The two downloads, made by CPack's ZIP generator from install rules of two
# components (cmake --build <dir> --target package):
#   demo: orvane-demo-<version>-win32.zip, the runnable program
#   sdk:  orvane-sdk-<version>-win32.zip, the three libraries for other programs
# Only what is installed here goes into a zip: tests, benchmarks and tools
# have no install rules, and -static leaves no MinGW runtime DLL to ship.
set(RELEASE_LIBRARIES orvane md2ex pelmar)
set(RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(RELEASE_TEXT_DIR ${RELEASE_DIR}/text)

# Texts for Windows users, with the version filled in and CRLF line ends.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${RELEASE_TEXT_DIR}/LICENSE.txt NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/resources/README.txt.in ${RELEASE_TEXT_DIR}/demo/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/sdk/README.txt.in ${RELEASE_TEXT_DIR}/sdk/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/sdk/Orvane.props ${RELEASE_TEXT_DIR}/sdk/Orvane.props
               @ONLY NEWLINE_STYLE CRLF)

# What the SDK ships of each architecture, made by that architecture's build
# in release/sdk-<arch>/: bin/ the DLLs, lib/ the MinGW import libraries,
# the import libraries for Microsoft's linker (made by llvm-dlltool for that
# machine; on x86 from the decorated .def files, -k mapping each __stdcall
# symbol _Name@8 to the undecorated name the DLL exports) and the .def files
# of what each DLL exports with its ordinal: on x86 in the decorated form
# (Name@8 @N) an import library is made from, on x64 with the plain names.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(RELEASE_ARCH x64)
    set(LLVM_MACHINE i386:x86-64)
else()
    set(RELEASE_ARCH x86)
    set(LLVM_MACHINE i386)
endif()
set(SDK_ARCH_DIR ${RELEASE_DIR}/sdk-${RELEASE_ARCH})
find_program(LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14)
if(NOT LLVM_DLLTOOL)
    message(WARNING "llvm-dlltool not found: the SDK will have no .lib import libraries for Microsoft's linker")
endif()
set(sdk_arch_files)
foreach(lib IN LISTS RELEASE_LIBRARIES)
    set(def ${PROJECT_SOURCE_DIR}/contracts/${lib}.def)
    set(kill_at)
    if(RELEASE_ARCH STREQUAL "x86")
        set(kill_at -k)
        configure_file(${def} ${SDK_ARCH_DIR}/lib/${lib}.def COPYONLY)
    else()
        undecorated_def(${def} ${SDK_ARCH_DIR}/lib/${lib}.def)
        set(def ${SDK_ARCH_DIR}/lib/${lib}.def)
    endif()
    add_custom_command(OUTPUT ${SDK_ARCH_DIR}/lib/lib${lib}.dll.a
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_LINKER_FILE:${lib}> ${SDK_ARCH_DIR}/lib/lib${lib}.dll.a
        DEPENDS ${lib}
        VERBATIM)
    list(APPEND sdk_arch_files ${SDK_ARCH_DIR}/lib/lib${lib}.dll.a)
    if(LLVM_DLLTOOL)
        add_custom_command(OUTPUT ${SDK_ARCH_DIR}/lib/${lib}.lib
            COMMAND ${LLVM_DLLTOOL} -m ${LLVM_MACHINE} ${kill_at} -d ${def} -D ${lib}.dll
                    -l ${SDK_ARCH_DIR}/lib/${lib}.lib
            DEPENDS ${def}
            VERBATIM)
        list(APPEND sdk_arch_files ${SDK_ARCH_DIR}/lib/${lib}.lib)
    endif()
endforeach()

# Shipped copies of the program and the DLLs without their symbol tables
# (less than half the size); the build's own files keep them.
set(shipped)
foreach(target IN ITEMS orvane_demo ${RELEASE_LIBRARIES})
    if(NOT TARGET ${target})
        continue()
    endif()
    if(target STREQUAL "orvane_demo")
        set(copy ${RELEASE_DIR}/bin/${target}.exe)
    else()
        set(copy ${SDK_ARCH_DIR}/bin/${target}.dll)
        list(APPEND sdk_arch_files ${copy})
    endif()
    get_filename_component(copy_dir ${copy} DIRECTORY)
    if(CMAKE_STRIP)
        set(make_copy ${CMAKE_STRIP} -o ${copy} $<TARGET_FILE:${target}>)
    else()
        # Microsoft's linker keeps symbols in the .pdb: a plain copy.
        set(make_copy ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${copy})
    endif()
    add_custom_command(OUTPUT ${copy}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${copy_dir}
        COMMAND ${make_copy}
        DEPENDS ${target}
        VERBATIM)
    list(APPEND shipped ${copy})
    set(SHIPPED_${target} ${copy})
endforeach()
add_custom_target(release_binaries ALL DEPENDS ${shipped} ${sdk_arch_files})

# The zips come from the 32-bit build, which makes the demo; the SDK's 64-bit
# files come from the 64-bit build's release/sdk-x64 (build it first).
if(NOT ORVANE_PROGRAM)
    return()
endif()
get_filename_component(default_x64_build ${CMAKE_BINARY_DIR}/../win64-release ABSOLUTE)
set(ORVANE_X64_BUILD_DIR ${default_x64_build} CACHE PATH
    "The 64-bit build, whose release/sdk-x64 files the SDK zip takes")
set(ORVANE_SDK_X64_DIR ${ORVANE_X64_BUILD_DIR}/release/sdk-x64)

# --- demo -----------------------------------------------------------------
install(FILES ${SHIPPED_orvane_demo} ${SHIPPED_orvane} ${SHIPPED_md2ex} ${SHIPPED_pelmar}
        DESTINATION . COMPONENT demo)
set(DEMO_RESOURCE_FILES ${RESOURCE_FILES})
list(TRANSFORM DEMO_RESOURCE_FILES PREPEND ${PROJECT_SOURCE_DIR}/resources/Resource/)
install(FILES ${DEMO_RESOURCE_FILES} DESTINATION Resource COMPONENT demo)
install(FILES ${RELEASE_TEXT_DIR}/demo/README.txt ${RELEASE_TEXT_DIR}/LICENSE.txt
        DESTINATION . COMPONENT demo)

# --- sdk ------------------------------------------------------------------
foreach(lib IN LISTS RELEASE_LIBRARIES)
    install(FILES ${PROJECT_SOURCE_DIR}/contracts/${lib}.h DESTINATION include COMPONENT sdk)
    install(FILES ${PROJECT_SOURCE_DIR}/sdk/doc/${lib}.md DESTINATION doc COMPONENT sdk)
endforeach()
foreach(arch_dir IN ITEMS "x86|${SDK_ARCH_DIR}" "x64|${ORVANE_SDK_X64_DIR}")
    string(REPLACE "|" ";" arch_dir "${arch_dir}")
    list(GET arch_dir 0 arch)
    list(GET arch_dir 1 dir)
    install(DIRECTORY ${dir}/bin/ DESTINATION bin/${arch} COMPONENT sdk FILES_MATCHING PATTERN "*.dll")
    install(DIRECTORY ${dir}/lib/ DESTINATION lib/${arch} COMPONENT sdk
            FILES_MATCHING PATTERN "*.a" PATTERN "*.lib" PATTERN "*.def")
endforeach()
# The CMake package (find_package(Orvane CONFIG)): one for both
# architectures, the caller's chosen by its pointer size.
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${RELEASE_DIR}/cmake/OrvaneConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${PROJECT_SOURCE_DIR}/sdk/cmake/OrvaneConfig.cmake ${RELEASE_DIR}/cmake/OrvaneConfigVersion.cmake
        DESTINATION lib/cmake/Orvane COMPONENT sdk)
install(FILES ${PROJECT_SOURCE_DIR}/contracts/anchor_codes.h DESTINATION include COMPONENT sdk)
# The property sheet for Visual Studio projects without CMake.
install(FILES ${RELEASE_TEXT_DIR}/sdk/README.txt ${RELEASE_TEXT_DIR}/LICENSE.txt ${RELEASE_TEXT_DIR}/sdk/Orvane.props
        DESTINATION . COMPONENT sdk)
# The sample, with the model, its skin picture and a skin to show it with,
# and the toolchain file for building it on Linux.
install(FILES ${PROJECT_SOURCE_DIR}/sdk/sample/CMakeLists.txt ${PROJECT_SOURCE_DIR}/sdk/sample/model_viewer.cpp
              ${PROJECT_SOURCE_DIR}/cmake/mingw.cmake ${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
              ${PROJECT_SOURCE_DIR}/cmake/mingw-x86_64.cmake
        DESTINATION sample COMPONENT sdk)
install(FILES ${PROJECT_SOURCE_DIR}/resources/Resource/Sydney.md2 ${PROJECT_SOURCE_DIR}/resources/Resource/Sydney.png
              ${PROJECT_SOURCE_DIR}/resources/Resource/Scarlet.sks
        DESTINATION sample/data COMPONENT sdk)

# --- CPack ----------------------------------------------------------------
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "${PRODUCT_MAKER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${RELEASE_DIR})
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL demo sdk)
set(CPACK_ARCHIVE_DEMO_FILE_NAME orvane-demo-${PROJECT_VERSION}-win32)
set(CPACK_ARCHIVE_SDK_FILE_NAME orvane-sdk-${PROJECT_VERSION}-win32)
include(CPack)
