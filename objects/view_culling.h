#pragma once

// Whether the unit sphere, drawn with the current model-view and projection matrices, lies wholly outside the
// view: beside, above or below it, or behind the near plane. Such a sphere would light every vertex of its
// mesh for no pixel, and a software rasterizer pays for each vertex; its draw can be skipped. Conservative:
// a sphere that might show a pixel is never reported outside.
bool unitSphereOutsideView();
