#pragma once
// Screen units: twips (1/1440 inch) per pixel from the screen's logical DPI.

namespace tavrin {

int ScreenTwipsPerPixelX();
int ScreenTwipsPerPixelY();

}  // namespace tavrin
