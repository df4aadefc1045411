#pragma once

// The show a process runs lives in process-wide state, as it always has: objects read the camera, the world's
// clock, the textures and the shared meshes while they draw, and no draw takes them as arguments. Each piece
// is defined in the lowest layer that uses it, so that layer's tests and fuzzers link without this one; this
// is the list of them all, and the saver run is their one owner: SaverRun::load forgets what an earlier run
// left (forgetShowState) and fills them again.
//
//   base/      settings          the user's options, loaded by the shell before the run
//              frameClock, fpsClock   restarted by each load
//              viewport          set by the saver run when it starts and on resize
//   data/      textureRegistry   the show's textures, from "texture.txt"
//              showBudget        what the loaders have kept of the show's budget, and what they left out
//   objects/   camera            the viewer and its path
//              worldTime         seconds of show time, for orbits and blinking
//              the scene objects kept by the object-script reader, which lists only point at
//              scriptParseState  what one object script passes from object to object
//              wireSphereData, envMesh, sphereMesh, noisedSphereMesh, atmosphereList, geometryMesh
//                                the shared meshes
//   overlay/   glyphLists        the clock's digits
//              the loading screen's two pictures, loaded by each load that shows the loading screen

// Shell state (windows, gamma, signal handlers) is the shells' own and not listed here.

// Puts every piece of the show back as a fresh process has it, before a load fills them again. GL names are
// dropped, not deleted: they belong to the context they were made in, which frees them when it goes.
void forgetShowState();
