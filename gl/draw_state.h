#pragma once

#include <string>
#include <vector>

// The OpenGL state every object's draw expects on entry and leaves on exit, described once. setupGL
// establishes it; tests and the run-time check (HELIOX_CHECK_GL=1) compare against it:
//   - model-view matrix mode; every matrix stack at depth 1; the identity texture matrix;
//   - blending on with (GL_SRC_ALPHA, GL_ONE): additive, so glows and flares add light;
//   - alpha test on, function GL_ALWAYS; depth test on, function GL_LESS, depth writes on;
//   - lighting on with GL_LIGHT1 only (GL_LIGHT0 and GL_LIGHT2 off: objects switch them on for themselves);
//     GL_NORMALIZE on; colour material off, tracking ambient and diffuse;
//   - 2-D texturing on, modulated by the colour (GL_MODULATE), no texture-coordinate generation, no fog;
//   - face culling off, with the back faces selected and counter-clockwise faces in front: a draw that turns
//     culling on culls back faces unless it chooses otherwise, and must select GL_BACK again before it
//     leaves, or every body drawn after it shows its far inside.
// The swap interval and the gamma ramp are the shell's: they need the window system.

// Sets every item of the description (matrix stacks are popped back to depth 1).
void establishDrawState();

// Where the current state differs from the description, one line per item ("cull-face mode is GL_FRONT, not
// GL_BACK"); empty when all is as every draw expects. Also reports a pending GL error.
std::vector<std::string> drawStateDifferences();
