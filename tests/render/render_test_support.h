#pragma once
// Screens and passes for the drawing tests.

#include "render/draw_context.h"
#include "render/recording_canvas.h"

namespace qzarn::render::testing_support {

inline ViewParams NewScreenView(int w = 640, int h = 480, int zoom_percent = 100) {
  ViewParams p;
  p.view.surface_width = w;
  p.view.surface_height = h;
  p.view.centre_x = SurfaceCentre(w);
  p.view.centre_y = SurfaceCentre(h);
  p.view.zoom = zoom_percent / 100.0;
  p.axes.x.name = "x";
  p.axes.y.name = "y";
  p.axes.x.colour = 0x0000FF;
  p.axes.y.colour = 0xFF0000;
  p.axes.grid_colour = 0xC0C0C0;
  p.background = kWhite;
  return p;
}

inline RenderOptions PixelExactOptions() {
  RenderOptions o;
  o.antialiasing = false;
  return o;
}

}  // namespace qzarn::render::testing_support
