// Text extents as the host's viewer draws them: advance widths of the viewer's font (DejaVu
// Sans, derived once by tools/font_metrics.cpp) scaled so that a text's height is the height of
// its capitals.
#pragma once

#include "host/model/document.h"

#include <string>
#include <string_view>

namespace kelvo::host {

// What the CAD control codes %%d, %%p, %%c, %%% show; %%u and %%o switch lines on and off.
std::string displayText(std::string_view cp1251);
double textWidth(std::string_view cp1251, double height);

struct Box {
  Point min, max;
};
// Axis-aligned extents of a text entity, from its insertion point, rotation and width.
Box textBox(const Entity& text);

// Recomputes a text's insertion point from its alignment point (right-aligned texts keep
// their right end at the alignment point).
void placeAligned(Entity& text);

}  // namespace kelvo::host
