# The project's version (project(... VERSION ...)) in every shipped file: a
# VERSIONINFO resource in the program and each DLL, and the GL control
# library's version text.
set(PRODUCT_NAME "Orvane")
set(PRODUCT_MAKER "The Orvane authors")
set(PRODUCT_COPYRIGHT "Copyright (c) 2026 ${PRODUCT_MAKER}. MIT licence.")
set(VERSION_RC_DIR ${CMAKE_BINARY_DIR}/version)

# version_resource(target description): writes the target's version resource
# and returns its path in <target>_VERSION_RC.
function(version_resource target description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(VERSION_FILE_TYPE VFT_APP)
        set(suffix .exe)
    else()
        set(VERSION_FILE_TYPE VFT_DLL)
        set(suffix .dll)
    endif()
    get_target_property(name ${target} OUTPUT_NAME)
    if(NOT name)
        set(name ${target})
    endif()
    set(VERSION_INTERNAL_NAME ${name})
    set(VERSION_FILE_NAME ${name}${suffix})
    set(VERSION_DESCRIPTION "${description}")
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${VERSION_RC_DIR}/${target}_version.rc @ONLY)
    set(${target}_VERSION_RC ${VERSION_RC_DIR}/${target}_version.rc PARENT_SCOPE)
endfunction()

# The libraries take their resource as one more source.
foreach(lib_and_text IN ITEMS "orvane|Orvane OpenGL view control library"
                              "md2ex|Orvane MD2 model library"
                              "pelmar|Orvane skin engine")
    string(REPLACE "|" ";" pair "${lib_and_text}")
    list(GET pair 0 lib)
    list(GET pair 1 text)
    version_resource(${lib} "${text}")
    target_sources(${lib} PRIVATE ${${lib}_VERSION_RC})
endforeach()

# The program's resource script includes its version resource.
if(TARGET orvane_demo)
    version_resource(orvane_demo "Orvane 3D lighting demo")
    target_include_directories(program_resources PRIVATE ${VERSION_RC_DIR})
    set_property(SOURCE program.rc DIRECTORY ${PROJECT_SOURCE_DIR}/resources
                 APPEND PROPERTY OBJECT_DEPENDS ${orvane_demo_VERSION_RC})
endif()

# QI_Version hands out the same text.
target_compile_definitions(orvane_objects PRIVATE ORVANE_VERSION_TEXT="${PROJECT_VERSION}")
