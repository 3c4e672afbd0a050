// The program's toolbar and dialog images, compiled in from resources/images/.
//
// Names: print_preview, printer_setup, reset, disclaimer, update, help, exit, calculate (16 x 16,
// the calculator window's toolbar); ok (16 x 16, dialogs); preview_prev, preview_next (15 x 12),
// preview_zoom_out, preview_zoom_100, preview_zoom_in (16 x 17), preview_print (20 x 20),
// preview_close (17 x 17) (print preview window); update_check (16 x 16), update_retrieve
// (15 x 14), update_close (17 x 17), update_centre (144 x 155, the picture) (update centre).
// Each image's pixel at (0, 0) is its transparent colour.
#pragma once

#include <QImage>
#include <QString>

// The named image; a null image when there is none of that name.
QImage LoadArtwork(const QString& name);

// A copy of `source` in which every pixel of its transparent colour (the pixel at (0, 0)) is
// fully transparent.
QImage TransparentImage(const QImage& source);
