// The GLUT callbacks: each forwards its arguments to a singleton's handler.
#pragma once

// Registers every callback, in the order the frame loop expects.
void registerGlutCallbacks();
