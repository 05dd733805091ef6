# The time stamp of everything in the packages, in seconds since 1970, so that the same sources
# give the same bytes: SOURCE_DATE_EPOCH when set; else the last commit's, when the sources are a
# git checkout of their own; else, as from a release's tarball, the date of the changelog's latest
# entry, which is where Debian takes it from. Run alone, it prints it:
#   cmake -D SOURCE_DIR=FOLDER -P packaging/SourceDateEpoch.cmake

function(throngwick_source_date_epoch sourceDir result)
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
    if(NOT epoch)
        # Not the commit of a checkout the sources merely lie in.
        execute_process(COMMAND git rev-parse --show-toplevel WORKING_DIRECTORY ${sourceDir}
            OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        file(REAL_PATH "${sourceDir}" source)
        if(top)
            file(REAL_PATH "${top}" top)
        endif()
        if(top STREQUAL source)
            execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${sourceDir}
                OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        endif()
    endif()
    if(NOT epoch)
        # The first trailer line is the latest entry's: " -- NAME <ADDRESS>  DATE".
        file(STRINGS ${sourceDir}/packaging/changelog trailers REGEX "^ -- .*>  ")
        list(GET trailers 0 trailer)
        string(REGEX REPLACE "^ -- .*>  " "" date "${trailer}")
        execute_process(COMMAND date -u -d "${date}" +%s OUTPUT_VARIABLE epoch
            OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    endif()
    set(${result} ${epoch} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    throngwick_source_date_epoch(${SOURCE_DIR} epoch)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${epoch})
endif()
