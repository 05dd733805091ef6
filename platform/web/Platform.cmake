# The browser: WebGL, the page's canvas and Web Audio, through Emscripten. Included by the root
# CMakeLists.txt, which builds the layers from what this file names for each concern.

# Drawing, under every layer that draws: the fixed-function GL and GLU calls answered over WebGL,
# a layer of its own.
add_layer(throngwick_drawing
    SOURCES platform/web/GlOverWebGl.cpp
    HEADERS platform/web/GlOverWebGl.h)
target_link_libraries(throngwick_drawing PUBLIC throngwick_base)
set(drawingPath throngwick_drawing)
# The window with its events: GLUT's calls answered over the page's canvas. A tap reads the card
# the scene shows, so it sits with the program.
set(windowLibraries "")
set(windowSources platform/web/WebWindow.cpp)
set(windowHeaders platform/web/WebWindow.h)
# The sound bank's back end, in the assets: the page's Web Audio.
set(soundBackEnd platform/web/SoundOutputWeb.cpp)
set(soundBackEndHeaders "")
set(soundBackEndLibraries "")
# The still hall's copy, in the scene: WebGL 2's blits, none with WebGL 1.
set(hallCopy platform/web/StillHallWeb.cpp)
# The program's part, with the visit: the page's folder and canvas, a replay's frames to the page.
set(platformSources platform/web/FrameWriterWeb.cpp platform/web/PlatformWeb.cpp)
set(platformHeaders "")
set(platformLibraries "")
# The entry: the shared start-up, after which the page runs the frames.
set(entry platform/web/main.cpp)

# Beside the program: the site, with the page, the pictures and the sounds.
function(add_beside_program program)
    include(${CMAKE_SOURCE_DIR}/platform/web/WebSite.cmake)
endfunction()
