# The files the program reads from the "Resource" folder beside it, kept in
# resources/Resource, and the one way they are staged beside a program.
set(RESOURCE_FILES Background.jpg Sydney.png Sydney.md2 Clock_09_92.png Orvane.png Scarlet.sks)

# stage_resources(<target> <folder>): a target (built by default) that keeps
# <folder>/Resource an up-to-date copy of the runtime files.
function(stage_resources target folder)
    set(copies)
    foreach(name IN LISTS RESOURCE_FILES)
        add_custom_command(OUTPUT ${folder}/Resource/${name}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/Resource
            COMMAND ${CMAKE_COMMAND} -E copy_if_different
                    ${PROJECT_SOURCE_DIR}/resources/Resource/${name} ${folder}/Resource/${name}
            DEPENDS ${PROJECT_SOURCE_DIR}/resources/Resource/${name}
            VERBATIM)
        list(APPEND copies ${folder}/Resource/${name})
    endforeach()
    add_custom_target(${target} ALL DEPENDS ${copies})
endfunction()
