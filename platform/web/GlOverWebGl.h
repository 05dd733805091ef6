// The drawing path of the browser build: the fixed-function OpenGL and GLU calls the program
// makes, answered over WebGL 1 with one shader pair. Matrices are worked out as the desktop's
// OpenGL works them out and every corner is transformed before it is sent, so the geometry is
// the desktop's to the bit; quads go as triangles, display lists and client arrays as vertex
// buffers, the alpha test as a discard. Textures keep the pixels they were made from, which the
// atlas reads back, and a picture whose sides are not powers of two repeats through a frame of
// its own opposite edges, as the atlas frames its pictures.
#pragma once

// Compiles the shader pair and makes the buffers; once, with the page's WebGL context of that
// version (1 or 2) current. False, with the reason, when WebGL cannot run it.
bool startDrawingPath(int version, const char*& reason);
// The version of the context drawn into: 2 can keep the hall still, 1 cannot.
int webGlVersion();
