// The draw command: it prepares the designation's texts, connects to the CAD host, asks the
// user there for the points of the leader and draws the layer, the weld block with its shelf,
// texts and signs, the block reference, the leader with its one-sided arrowhead and the
// count/number text. The drawing context outlives a command, as the host's objects do.
#pragma once

#include "app/weld_record.h"
#include "cad/acad.h"
#include "cad/designation_xdata.h"
#include "cad/seam_list.h"
#include "cad/shelf_layout.h"

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace kelvo::cad {

inline constexpr char kProgId[] = "AutoCAD.Application";

class DrawWeld {
 public:
  struct Services {
    // Shows a modal warning with this Windows-1251 text (module, procedure, reason).
    std::function<void(const std::string& text)> warn;
    // Local time of day for the block name.
    std::function<std::tm()> now;
  };

  explicit DrawWeld(Services services);

  // The command. Failures of the three automation kinds are reported through `warn`; any
  // other failure is thrown to the caller.
  void AcadDrawWeld(const DrawInput& input);
  // The same, replacing a designation taken from the drawing: its parts are removed and the
  // new one is drawn at its three points, without asking for them.
  void AcadDrawWeld(const DrawInput& input, const StoredDesignation& replacing);

  // "Такой же": the number-only designation of an identical seam (GOST's leader and shelf with
  // the number alone), at a seam and bend the user picks; the count fields of the full
  // designations of that number that hold a number are brought up to date in the same undo
  // group. Refused, with the reason, when the window's designation has no number, the drawing
  // has no full designation of that number, or gives the number to another seam.
  void DrawSame(const DrawInput& input);
  // "Таблица швов": the drawing's seams as a table at a point the user picks, in a block of its
  // own; a table Kelvo drew before is replaced.
  void DrawSeamTable(const DrawInput& input);
  // The next free seam number of the drawing, or nothing (the reason shown through `warn`).
  std::optional<int> NextFreeNumber(const std::string& application);
  // Every designation of the drawing, or nothing (the reason shown through `warn`).
  std::optional<std::vector<FoundDesignation>> Designations(const std::string& application);

  // "Из чертежа": asks the user in the CAD program for a designation and answers what it holds,
  // or nothing (the reason shown through `warn`).
  std::optional<StoredDesignation> TakeFromDrawing(const std::string& application);
  // What the last command stored with the designation it drew.
  StoredDesignation Stored;

  // Drawing context.
  AcadApplication AcadApp;
  AcadDocument AcadDoc;
  AcadSpace DrawSpace;
  double TextHeight = 0, ArrowSize = 0, TextGap = 0, SignUnit = 0;
  // The overall scale the sizes were taken at, and the drawing's unscaled DIMASZ.
  double Scale = 1, ArrowheadSize = 0;
  Point WorkPoint1{}, WorkPoint2{}, WorkPoint3{}, WorkPoint4{}, WorkPoint5{}, WorkPoint6{},
      WorkPoint7{};

  // Text copies.
  std::string CountText, NumberText, StandardText, JointText, MethodText, LegText,
      IntermittentText, RoughnessText;

  // Composition values.
  Point InsertPoint{}, LeaderPoint{};
  double LeaderAngle = 0;
  AcadBlock WeldBlock;
  double ShelfLength = 0;
  std::vector<double> PointList;
  std::string BlockName;

  // Values of the routines.
  std::string LabelText;
  AcadText LastText;
  double TextWidth = 0;

  // The steps, public so that each can be checked on its own. Begin takes the designation
  // and prepares the texts (step A before the connection).
  void Begin(const DrawInput& input);
  void PrepareTexts();
  void Start_ACAD();
  void EnsureArrowBlock();
  void DrawLeaderLabel();
  // The glyphs on their own, at WorkPoint1 (the bend for the bend signs); the shelf sign
  // advances ShelfLength as the layout does.
  void DrawBendSigns();
  void DrawAuxSign();
  void DrawRoughMark(bool up);
  void DrawLegTriangle();
  // The bend signs, the shelf's items and the shelf line, into the weld block.
  void LayoutShelf(bool toRight);
  void ApplyMinimumLength(double length);
  // "Weld_" and the hour, minute and second without leading zeros.
  static std::string BlockNameAt(const std::tm& time);
  // An angle in [0, 2 pi).
  static double NormalAngle(double radians);

 private:
  // The user cancelled a point prompt; a layer that cannot take the designation (the reason).
  struct PromptCancelled {};
  struct LayerUnusable {
    std::string reason;
  };
  double OverallScale(double dimscale, bool paper) const;
  void BringToFront() const;
  void Warn(const char* procedure, const std::string& reason) const;
  // The body in one undo group; a cancelled prompt ends it quietly, the guide line removed.
  void DrawGuarded(const std::function<void()>& body);
  void DrawMarked();
  // Before anything is drawn: false (and the reason shown) when the drawing gives the number
  // to another seam.
  bool NumberIsFree();
  void Connect(const std::string& application);
  std::optional<DrawingDesignations> Search(const char* procedure);
  void DrawSameMarked(const DrawInput& reference, const std::vector<FoundDesignation>& recount, int total);
  void LayOutTable(const std::vector<SeamRow>& rows, const Point& topLeft);
  void ChooseLayer();
  void PlaceLeader();
  void MakeUniqueBlockName();
  static bool HasBlock(const AcadBlocks& blocks, const std::string& name);
  void DrawShelf();
  void InsertAndLead();
  void StoreDesignation();
  shelf::Sizes Sizes() const;
  void Emit(const std::vector<shelf::Shape>& shapes);
  void Guarded(const char* procedure, const std::function<void()>& step) const;
  bool HasAnyText() const;

  Services services_;
  DrawInput in_;
  AcadLayer SavedLayer_, DesignLayer_;
  AcadEntity TempLine_;
  const StoredDesignation* replacing_ = nullptr;
  // The third prompt (the shelf's direction) is asked; a number-only designation does without.
  bool askDirection_ = true;
  Point NextPoint(const AcadUtility& utility, const std::optional<Point>& base, const char* prompt,
                  const Point& stored);
  // The parts drawn and the points as picked, kept with the designation in the drawing.
  AcadEntity Reference_, Leader_, Label_;
  Point PickedBend_{}, PickedDirection_{};
  // Field 7 as joined to a text (empty when dropped), and whether the leg took it.
  std::string IntermittentCarried_;
  bool IntermittentOnLeg_ = false;
};

}  // namespace kelvo::cad
