// The browser build's window: the page's canvas and its WebGL context, answering the GLUT calls
// the program makes (the window, the clock, the callbacks). The page runs the frames and passes
// on its events through the functions below, which it calls by name; each goes to the callback
// GLUT would have called.
#pragma once

extern "C" {
// One turn of the frame loop: the idle callback, then the display callback if one was asked for.
void webFrame();
// The canvas's drawing buffer took this size.
void webReshape(int width, int height);
void webMouse(int button, int state, int x, int y);
void webMove(int x, int y);
void webDrag(int x, int y);
void webKey(int key, int x, int y);
void webKeyUp(int key, int x, int y);
// A special key (GLUT's codes: the arrows 100 to 103).
void webSpecial(int key, int x, int y);
// A finger lifted where it touched: a key 1 to 4 on a line of the card shown, else a click.
void webTap(int x, int y);
}
