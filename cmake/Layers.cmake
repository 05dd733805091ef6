# A layer is a static library whose headers are reachable only through an include folder of its
# own, holding links to exactly those headers. A library above links the layer and sees them; a
# source below that includes one of them fails to compile, so the layers can only run one way.
function(add_layer name)
    cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;HEADERS")
    add_library(${name} STATIC ${layer_SOURCES} ${layer_HEADERS})
    set(folder ${CMAKE_BINARY_DIR}/layers/${name})
    file(REMOVE_RECURSE ${folder}) # a header that moved to another layer must not stay here
    foreach(header ${layer_HEADERS})
        get_filename_component(headerFolder ${folder}/${header} DIRECTORY)
        file(MAKE_DIRECTORY ${headerFolder})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${header} ${folder}/${header} SYMBOLIC)
    endforeach()
    target_include_directories(${name} PUBLIC ${folder})
endfunction()
