# The picture and sound files the program reads, from the catalogue it loads them by: the
# generators write them, the browser's page fetches them.
set(THRONGWICK_CATALOGUE ${CMAKE_SOURCE_DIR}/base/Catalogue.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${THRONGWICK_CATALOGUE})
file(STRINGS ${THRONGWICK_CATALOGUE} catalogueLines REGEX "\\.(tga|mp3)\"")
string(REGEX MATCHALL "[A-Za-z0-9_]+\\.tga" THRONGWICK_PICTURES "${catalogueLines}")
string(REGEX MATCHALL "[A-Za-z0-9_]+\\.mp3" THRONGWICK_SOUNDS "${catalogueLines}")
