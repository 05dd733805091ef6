# The desktop: Mesa's OpenGL and GLU, freeglut, SDL's mixer, and FFmpeg for clips. Included by the
# root CMakeLists.txt, which builds the layers from what this file names for each concern.
find_package(OpenGL REQUIRED)
find_package(GLUT REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
# A replay's clip: VP9 and Opus in WebM.
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavcodec libavformat libavutil libswscale
    libswresample)
find_package(PNG REQUIRED)

# Drawing, under every layer that draws: the system's OpenGL.
set(drawingPath OpenGL::GL)
# The window with its events, and GLU's projections, for the scene: freeglut and Mesa's GLU.
set(windowLibraries OpenGL::GLU GLUT::GLUT)
set(windowSources "")
set(windowHeaders "")
# The sound bank's back end, in the assets: SDL's mixer, or our own mixer while a clip is made.
set(soundBackEnd platform/desktop/SoundOutputSdl.cpp platform/desktop/MusicStream.cpp
    platform/desktop/SoftwareMixer.cpp)
set(soundBackEndHeaders platform/desktop/MusicStream.h platform/desktop/SoftwareMixer.h)
set(soundBackEndLibraries PkgConfig::SDL2_MIXER PkgConfig::MPG123)
# The still hall's copy, in the scene: a framebuffer object and its blits.
set(hallCopy platform/desktop/StillHallGl.cpp)
# The program's part, with the visit: the data folder, full screen, F12's pictures, the frames
# and clips of a replay, the ending signals.
set(platformSources platform/desktop/ClipMaker.cpp platform/desktop/DataFolder.cpp
    platform/desktop/FrameWriterPng.cpp platform/desktop/PlatformDesktop.cpp
    platform/desktop/Signals.cpp platform/desktop/Snapshot.cpp)
set(platformHeaders platform/desktop/ClipMaker.h platform/desktop/DataFolder.h
    platform/desktop/Signals.h platform/desktop/Snapshot.h platform/desktop/VideoWriter.h)
set(platformLibraries PNG::PNG ${CMAKE_DL_LIBS})
# The entry: the ending signals caught, then the shared start-up.
set(entry platform/desktop/main.cpp)

# Beside the program: the clip writer and FFmpeg's libraries, a module loaded only to make a clip.
function(add_beside_program program)
    add_library(throngwick_clip MODULE platform/desktop/VideoWriter.cpp)
    target_include_directories(throngwick_clip PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(throngwick_clip PRIVATE throngwick_flags PkgConfig::FFMPEG)
    set_target_properties(throngwick_clip PROPERTIES PREFIX "" OUTPUT_NAME throngwick-clip
        LIBRARY_OUTPUT_DIRECTORY ${THRONGWICK_RUN_DIR})
    add_dependencies(${program} throngwick_clip)
endfunction()
