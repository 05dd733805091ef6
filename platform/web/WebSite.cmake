# The browser build's site in build-web/site/: our page, the script and its WebAssembly, and the
# pictures and sounds a desktop build's generators made (a browser build cannot run them), with
# the browser's extras they made beside its run folder (web/), compressed copies, files.json
# listing what the page loads and how large each file is, and the offline copy's worker.
set(THRONGWICK_WEB_DATA ${CMAKE_SOURCE_DIR}/build/run CACHE PATH
    "A desktop build's run folder: its image_data/ and audio/ go on the site")
get_filename_component(webDataParent ${THRONGWICK_WEB_DATA} DIRECTORY)
set(THRONGWICK_SITE_DIR ${CMAKE_BINARY_DIR}/site)
set(pageFolder ${CMAKE_SOURCE_DIR}/platform/web/page)
set(pageFiles clip.js index.html page.css page.js sound.js manifest.json)
include(${CMAKE_SOURCE_DIR}/cmake/Catalogue.cmake)

set_target_properties(throngwick PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${THRONGWICK_SITE_DIR})
target_link_options(throngwick PRIVATE
    -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
    -sFORCE_FILESYSTEM=1 -sINVOKE_RUN=0 -sEXPORTED_RUNTIME_METHODS=callMain,FS
    -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=2)

list(TRANSFORM pageFiles PREPEND ${pageFolder}/ OUTPUT_VARIABLE pageSources)
add_custom_target(site ALL
    COMMAND ${CMAKE_COMMAND} -DSITE=${THRONGWICK_SITE_DIR} -DDATA=${THRONGWICK_WEB_DATA}
        -DEXTRAS=${webDataParent}/web "-DPAGE=${pageSources}"
        "-DPICTURES=${THRONGWICK_PICTURES}" "-DSOUNDS=${THRONGWICK_SOUNDS}"
        -DSERVICE_WORKER=${pageFolder}/sw.js -P ${CMAKE_SOURCE_DIR}/platform/web/WriteSite.cmake
    DEPENDS ${pageSources} ${pageFolder}/sw.js
    COMMENT "Putting the site together in ${THRONGWICK_SITE_DIR}"
    VERBATIM)
add_dependencies(site throngwick)
