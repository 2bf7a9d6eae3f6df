// The drawing host's document: system variables, layers, blocks (model space, paper space and
// named blocks) and their entities, as a CAD system keeps them. Texts are Windows-1251.
// Whatever a read drawing holds that the model does not understand is kept as DXF tags and
// written back unchanged.
#pragma once

#include "host/model/dxf_codepage.h"
#include "host/model/dxf_tags.h"
#include "host/model/text_font.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::host {

using Point = std::array<double, 3>;

enum class Kind { Line, Circle, Arc, Solid, Polyline, Text, Insert, Leader, Other };

// Extended entity data: for each registered application, in order, its group codes and values
// (texts in the model's Windows-1251, a point as its three tags 10x0, 10x0 + 10, 10x0 + 20).
using XData = std::vector<std::pair<std::string, Tags>>;

struct Entity {
  Kind kind = Kind::Other;
  std::string handle;
  std::string layer = "0";
  std::vector<Point> points;  // line: 2; circle, arc, insert: 1; solid: 4; polyline, leader: n;
                              // text: insertion point, then alignment point
  double radius = 0, startAngle = 0, endAngle = 0;  // radians
  double height = 0, rotation = 0;
  int horizontal = 0, vertical = 0;  // text alignment
  std::string text;                  // text; insert and leader: block name; leader: arrowhead
  double scale[3] = {1, 1, 1};
  std::string arrowBlock;  // leader
  double arrowSize = 0;    // leader: unscaled (DIMASZ); 0: none set
  double leaderScale = 0;  // leader: its overall scale (DIMSCALE); 0: none set
  std::string annotation;  // leader: handle of its block reference
  XData xdata;             // of an entity made or changed here; a read one keeps its own tags
  // As read from a file: written back as it was while the entity is not changed.
  std::optional<Tags> original;
  bool deleted = false;
};

struct Layer {
  std::string name;
  int color = 7;  // 1 to 255; a layer that is off keeps its colour
  std::string handle;
  std::optional<Tags> original;
  bool frozen = false, locked = false, off = false;
};

struct Block {
  std::string name;
  Point base{};
  std::string recordHandle, beginHandle, endHandle;
  std::deque<Entity> entities;  // a deque: the object model keeps references to entities
  std::optional<Tags> originalRecord, originalBegin, originalEnd;
};

class Document;

// A leader's overall scale and its unscaled arrowhead size: its own, else the drawing's DIMSCALE
// (1 where that is 0) and DIMASZ. The arrowhead is drawn at their product.
double leaderScale(const Document& doc, const Entity& leader);
double leaderArrowSize(const Document& doc, const Entity& leader);

class Document {
 public:
  // A new drawing with ISO defaults (DIMSCALE 1, DIMTXT 2.5, DIMASZ 2.5, DIMGAP 0.625, mm).
  Document();

  std::string version = "AC1015";
  // How the file spells texts; a new drawing is ANSI_1251.
  FileEncoding encoding;
  // What reading the file noticed but read anyway (an unknown code page).
  std::vector<std::string> warnings;
  // What reading changed so that the drawing could be read (a malformed file), one line each.
  std::vector<std::string> repairs;
  // Set when the file is in a form the writer does not write (R12 and older, R13, R14, binary):
  // what it was, as the user knows it ("DXF R12 (AC1009)"). Saving writes text R2000 over it.
  std::optional<std::string> convertedFrom;
  // What giving it the R2000 form changed besides (3DLINE written as LINE), one line each.
  std::vector<std::string> conversionNotes;
  // What texts are measured and drawn with.
  TextFont font;
  // The font file the "Standard" text style names ("txt", "arial.ttf", "isocpeur.ttf"...).
  std::string styleFontFile() const;
  // Header variables in file order, each with its value tags.
  std::vector<std::pair<std::string, Tags>> header;
  std::deque<Layer> layers;
  std::string activeLayer = "0";
  std::deque<Block> blocks;  // [0] *Model_Space, [1] *Paper_Space, then named blocks
  // BLOCK_RECORD entries the file has without a block (some writers leave them): written back.
  std::vector<Tags> unattachedRecords;
  // Sections and tables the model keeps as tags: CLASSES, OBJECTS, other tables, unknown
  // sections; and the tables' own head tags.
  std::map<std::string, Tags> keptSections;
  std::vector<std::pair<std::string, Tags>> keptTables;  // table name -> whole table tags
  std::uint64_t nextHandle = 0x100;
  // Applications registered here (for extended data) that the file's APPID table lacks.
  struct RegisteredApp {
    std::string name, handle;
  };
  std::vector<RegisteredApp> addedApps;
  bool hasApp(std::string_view name) const;
  void registerApp(const std::string& name);

  // System variables as numbers (TILEMODE, CVPORT, DIMSCALE, ...); one the header leaves out
  // has the value of a new drawing; nothing when unknown.
  std::optional<double> number(std::string_view name) const;
  void setNumber(std::string_view name, double value, int code);
  std::optional<std::string> text(std::string_view name) const;

  // The space the user works in, as an index of `blocks`: paper (1) on a layout's paper
  // (TILEMODE 0, CVPORT 1), else model (0), also through a layout's viewport.
  std::size_t currentSpace() const;
  Block& modelSpace() { return blocks[0]; }
  Block& paperSpace() { return blocks[1]; }
  // Names compare without regard to case, as in CAD systems.
  Block* findBlock(std::string_view name);
  const Block* findBlock(std::string_view name) const;
  Layer* findLayer(std::string_view name);
  const Layer* findLayer(std::string_view name) const;
  Block& addBlock(const std::string& name, const Point& base);
  Layer& addLayer(const std::string& name);
  std::string newHandle();
  // A model text as the file stores it: UTF-8 from R2007 on; before that in the drawing's code
  // page, with \U+XXXX for what that page cannot hold.
  std::string encodeForFile(const std::string& cp1251) const;

  // Every entity of every block; the entity count a drawing holds.
  std::size_t entityCount() const;

  bool modified = false;
  // The current viewport, which a DXF file does not store: 1 the paper of a layout, 2 and up a
  // viewport on it (or the model tab).
  std::optional<int> cvport;
};

}  // namespace kelvo::host
