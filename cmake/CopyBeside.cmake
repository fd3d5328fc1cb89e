# zorvi_copy_beside(<consumer> <target-or-file>...)
# Copies module targets (their files) and plain files into the consumer's output folder
# before the consumer is built, and again whenever one of them changes: programs here load
# memalloc, the factory module and their configuration from beside themselves.
function(zorvi_copy_beside consumer)
    set(files)
    set(targets)
    foreach(item IN LISTS ARGN)
        if(TARGET ${item})
            list(APPEND files $<TARGET_FILE:${item}>)
            list(APPEND targets ${item})
        else()
            list(APPEND files ${item})
        endif()
    endforeach()
    # A target without outputs runs at every build; copy_if_different keeps that cheap.
    add_custom_target(${consumer}_beside
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${files} $<TARGET_FILE_DIR:${consumer}>
        VERBATIM)
    if(targets)
        add_dependencies(${consumer}_beside ${targets})
    endif()
    add_dependencies(${consumer} ${consumer}_beside)
endfunction()
