// Text extents as the host's viewer draws them: the advances of the document's font, scaled so
// that a text's height is the height of its capitals (a CAD text height is that).
#pragma once

#include "host/model/document.h"

#include <string>
#include <string_view>

namespace kelvo::host {

// What the CAD control codes %%d, %%p, %%c, %%% show; %%u and %%o switch lines on and off.
std::string displayText(std::string_view cp1251);
double textWidth(const TextFont& font, std::string_view text, double height);

struct Box {
  Point min, max;
};
// Axis-aligned extents of a text entity, from its insertion point, rotation and width.
Box textBox(const TextFont& font, const Entity& text);

// Recomputes a text's insertion point from its alignment point (right-aligned texts keep
// their right end at the alignment point).
void placeAligned(const TextFont& font, Entity& text);

}  // namespace kelvo::host
