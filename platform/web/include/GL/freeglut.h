// The browser build's GLUT header: the standard GLUT interface, whose calls the program makes are
// answered by the page's window (platform/web/WebWindow.cpp).
#pragma once

#include <GL/glut.h>
