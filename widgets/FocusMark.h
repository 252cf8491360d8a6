// The focus mark of a control without a window of its own (an image button): the system's dotted
// focus rectangle one pixel inside the control's edge, where it stays clear of the picture's own
// border on both toolkits. Drawn last, over the control's picture.
#pragma once

#include "Canvas.h"

// Size: the control's; a control too small for the inset gets the mark along its edge.
void PaintFocusMark(TCanvas& Canvas, TSize Size);
