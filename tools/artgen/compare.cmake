# Runs the generator into OUT and compares every file it makes with REF.
#   cmake -DGEN=artgen -DFONT=font.ttf -DOUT=dir -DREF=dir -P compare.cmake
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${GEN} ${FONT} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "artgen failed: ${rc}")
endif()
set(files Resource/Background.jpg Resource/Sydney.png Resource/Sydney.md2
          Resource/Clock_09_92.png Resource/Orvane.png program.ico)
set(different)
foreach(f IN LISTS files)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${f} ${REF}/${f}
                    RESULT_VARIABLE diff)
    if(NOT diff EQUAL 0)
        list(APPEND different ${f})
    endif()
endforeach()
if(different)
    message(FATAL_ERROR "regenerated files differ from the committed ones: ${different}\n"
                        "(rebuild the target artgen_update and commit, if the change is meant)")
endif()
message(STATUS "every generated file matches the committed one")
