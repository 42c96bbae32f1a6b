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

# Import libraries for Microsoft's linker, from the same .def files as the
# MinGW ones: -k maps each decorated __stdcall symbol (_Name@8) to the
# undecorated name the DLL exports.
find_program(LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14)
set(msvc_libs)
if(LLVM_DLLTOOL)
    foreach(lib IN LISTS RELEASE_LIBRARIES)
        set(def ${PROJECT_SOURCE_DIR}/contracts/${lib}.def)
        add_custom_command(OUTPUT ${RELEASE_DIR}/msvc/${lib}.lib
            COMMAND ${CMAKE_COMMAND} -E make_directory ${RELEASE_DIR}/msvc
            COMMAND ${LLVM_DLLTOOL} -m i386 -k -d ${def} -D ${lib}.dll -l ${RELEASE_DIR}/msvc/${lib}.lib
            DEPENDS ${def}
            VERBATIM)
        list(APPEND msvc_libs ${RELEASE_DIR}/msvc/${lib}.lib)
    endforeach()
    add_custom_target(msvc_import_libraries ALL DEPENDS ${msvc_libs})
else()
    message(WARNING "llvm-dlltool not found: the SDK will have no .lib import libraries for Microsoft's linker")
endif()

# Shipped copies of the program and the DLLs without their symbol tables
# (less than half the size); the build's own files keep them.
set(shipped)
foreach(target IN ITEMS orvane_demo ${RELEASE_LIBRARIES})
    set(suffix .dll)
    if(target STREQUAL "orvane_demo")
        set(suffix .exe)
    endif()
    set(copy ${RELEASE_DIR}/bin/${target}${suffix})
    if(CMAKE_STRIP)
        set(make_copy ${CMAKE_STRIP} -o ${copy} $<TARGET_FILE:${target}>)
    else()
        # Microsoft's linker keeps symbols in the .pdb: a plain copy.
        set(make_copy ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${copy})
    endif()
    add_custom_command(OUTPUT ${copy}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${RELEASE_DIR}/bin
        COMMAND ${make_copy}
        DEPENDS ${target}
        VERBATIM)
    list(APPEND shipped ${copy})
    set(SHIPPED_${target} ${copy})
endforeach()
add_custom_target(release_binaries ALL DEPENDS ${shipped})

# --- demo -----------------------------------------------------------------
install(FILES ${shipped} DESTINATION . COMPONENT demo)
set(DEMO_RESOURCE_FILES ${RESOURCE_FILES})
list(TRANSFORM DEMO_RESOURCE_FILES PREPEND ${PROJECT_SOURCE_DIR}/resources/Resource/)
install(FILES ${DEMO_RESOURCE_FILES} DESTINATION Resource COMPONENT demo)
install(FILES ${RELEASE_TEXT_DIR}/demo/README.txt ${RELEASE_TEXT_DIR}/LICENSE.txt
        DESTINATION . COMPONENT demo)

# --- sdk ------------------------------------------------------------------
foreach(lib IN LISTS RELEASE_LIBRARIES)
    install(FILES ${SHIPPED_${lib}} DESTINATION bin COMPONENT sdk)
    install(FILES $<TARGET_LINKER_FILE:${lib}> ${PROJECT_SOURCE_DIR}/contracts/${lib}.def
            DESTINATION lib COMPONENT sdk)
    install(FILES ${PROJECT_SOURCE_DIR}/contracts/${lib}.h DESTINATION include COMPONENT sdk)
    install(FILES ${PROJECT_SOURCE_DIR}/sdk/doc/${lib}.md DESTINATION doc COMPONENT sdk)
endforeach()
install(FILES ${msvc_libs} DESTINATION lib COMPONENT sdk)
# The CMake package (find_package(Orvane CONFIG)); the version file is written
# by this 32-bit build, so it also refuses a 64-bit build that looks for it.
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${RELEASE_DIR}/cmake/OrvaneConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_SOURCE_DIR}/sdk/cmake/OrvaneConfig.cmake ${RELEASE_DIR}/cmake/OrvaneConfigVersion.cmake
        DESTINATION lib/cmake/Orvane COMPONENT sdk)
install(FILES ${PROJECT_SOURCE_DIR}/contracts/anchor_codes.h DESTINATION include COMPONENT sdk)
install(FILES ${RELEASE_TEXT_DIR}/sdk/README.txt ${RELEASE_TEXT_DIR}/LICENSE.txt
        DESTINATION . COMPONENT sdk)
# The sample, with the model, its skin picture and a skin to show it with,
# and the toolchain file for building it on Linux.
install(FILES ${PROJECT_SOURCE_DIR}/sdk/sample/CMakeLists.txt ${PROJECT_SOURCE_DIR}/sdk/sample/model_viewer.cpp
              ${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
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
