// The GLUT callbacks: each forwards its arguments to the visit, which records or replays them
// on the way to a singleton's handler.
#pragma once

// Registers every callback, in the order the frame loop expects.
void registerGlutCallbacks();
