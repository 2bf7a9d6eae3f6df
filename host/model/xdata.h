// Extended entity data between the automation surface (an array of group codes and an array of
// values, as SetXData and GetXData pass them) and the model's tags.
#pragma once

#include "cad/automation.h"
#include "host/model/document.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kelvo::host {

// The longest string (group 1000) of extended data AutoCAD takes, in bytes as the file holds it.
inline constexpr std::size_t kMaxXDataString = 255;

// Replaces the data of every application the arrays name (each begins with 1001 and the
// name of an application the drawing has registered). Throws cad::EOleException for arrays a
// CAD program would refuse.
void setXData(const Document& doc, Entity& e, const std::vector<std::int16_t>& types,
              const std::vector<cad::Variant>& values);

// The application's data (every application's for an empty name) as GetXData answers it: an
// array of the codes, then an array of the values. Nothing found: both empty.
cad::VariantArray getXData(const Document& doc, const Entity& e, std::string_view app);

// The entity's data: its own when made here, else what its tags from the file carry.
XData xdataOf(const Document& doc, const Entity& e);

// The data as the file stores it, after the entity's own tags.
void appendXDataTags(const Document& doc, const XData& data, Tags& out);

}  // namespace kelvo::host
