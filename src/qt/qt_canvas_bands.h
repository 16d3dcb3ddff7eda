#pragma once
// The whole picture of a screen on a 32-bit image, as the window shows it.
// A tall picture is cut into horizontal bands, each drawn by a canvas of its
// own confined to its rows, and the bands are shared out among threads, one
// per processor: most of a full screen's time is setting pixels, which the
// bands divide. How a picture is cut depends on its height and how many
// figures it has alone, so the threads there are never change a pixel. Where Qt itself rasterises a
// stroke that crosses a band's edge (curves, aliased lines), it may round a few pixels differently
// from a canvas drawing the whole picture.

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "render/draw_screen.h"

#include <QImage>

namespace qzarn {

// How many bands a picture `height` rows high of `figures` figures is cut
// into: a screen of few figures is drawn whole, in less time than it takes to
// hand bands to other threads and walk its figures once per band (an
// aliased picture costs about half a smooth one).
int PictureBands(int height, int figures, bool smooth);

// Draws the screen as render::DrawScreen does on a QtCanvas of `image`, the
// device `surface` pixels large, in PictureBands bands on up to as many
// threads as there are processors. Images the bands cannot share (a device
// pixel ratio other than 1, formats not 32-bit) are drawn by one canvas.
void DrawScreenPicture(QImage& image, render::Size surface, Screen* screen,
                       const render::RenderOptions& options,
                       const render::DrawScreenInputs& inputs = {});

// As DrawScreenPicture, in `bands` bands (1: one canvas) on at most
// `threads` threads (the caller's among them).
void DrawScreenPictureInBands(QImage& image, render::Size surface, Screen* screen,
                              const render::RenderOptions& options,
                              const render::DrawScreenInputs& inputs, int bands, int threads);

}  // namespace qzarn
