#include "cad/draw_weld.h"

#include "cad/designation_xdata.h"
#include "cad/take_designation.h"
#include "platform/codepage.h"

#include <cmath>
#include <numbers>
#include <unordered_set>

namespace kelvo::cad {

using namespace kelvo::literals;

namespace {
constexpr double kPi = std::numbers::pi;
}

DrawWeld::DrawWeld(Services services) : services_(std::move(services)) {}

bool DrawWeld::HasAnyText() const {
  return CountText.size() + NumberText.size() + StandardText.size() + JointText.size() +
             MethodText.size() + LegText.size() + IntermittentText.size() + RoughnessText.size() >
         0;
}

// The three failure kinds, the most special first, each with the reason the user reads.
void DrawWeld::Guarded(const char* procedure, const std::function<void()>& step) const {
  auto report = [&](std::string_view reason, const char* kind) {
    const std::string text = std::string("Модуль   : Draw_Weld\r\nПроцедура: "_w) + procedure +
                             std::string("\r\nОшибка   : "_w) + std::string(reason) + " (" + kind + ")";
    if (services_.warn) services_.warn(text);
  };
  try {
    step();
  } catch (const EOleException&) {
    report("Нет связи с AutoCAD!"_w, "EOleException");
  } catch (const EOleSysError&) {
    report("Операция недоступна!"_w, "EOleSysError");
  } catch (const EOleError&) {
    report("Незагружен AutoCAD!"_w, "EOleError");
  }
}

void DrawWeld::PrepareTexts() {
  const auto& t = in_.texts;
  CountText = t[0], NumberText = t[1], StandardText = t[2], JointText = t[3];
  MethodText = t[4], LegText = t[5], IntermittentText = t[6], RoughnessText = t[7];
  if (StandardText.empty()) {
    if (!CountText.empty()) {
      StandardText = CountText;
      CountText.clear();
    }
    if (!NumberText.empty()) {
      StandardText += in_.NumberType + NumberText;
      NumberText.clear();
    }
  }
  IntermittentCarried_.clear();
  if (!IntermittentText.empty()) {
    for (std::string* host : {&LegText, &MethodText, &JointText, &StandardText})
      if (!host->empty()) {
        *host += "-" + IntermittentText;
        IntermittentCarried_ = IntermittentText;
        IntermittentOnLeg_ = host == &LegText;
        break;
      }
  }
  IntermittentText.clear();
}

void DrawWeld::Start_ACAD() {
  Guarded("Start_ACAD", [this] {
    AcadApp = AcadApplication(GetActiveOleObjectOf(in_.Application));
    AcadDoc = AcadApp.ActiveDocument();
    const auto tilemode = static_cast<std::uint8_t>(toInt(AcadDoc.GetVariable("TILEMODE")) & 0xFF);
    const auto cvport = static_cast<std::uint8_t>(toInt(AcadDoc.GetVariable("CVPORT")) & 0xFF);
    if (tilemode == 1) DrawSpace = AcadDoc.ModelSpace();
    else if (cvport == 1) DrawSpace = AcadDoc.PaperSpace();
    else DrawSpace = AcadDoc.ModelSpace();
    WorkPoint1 = WorkPoint2 = WorkPoint3 = WorkPoint4 = WorkPoint5 = WorkPoint6 = WorkPoint7 = Point{};
    double scale = toDouble(AcadDoc.GetVariable("DIMSCALE"));
    if (scale == 0) scale = 1.0;
    TextHeight = toDouble(AcadDoc.GetVariable("DIMTXT")) * scale;
    ArrowSize = toDouble(AcadDoc.GetVariable("DIMASZ")) * scale;
    TextGap = toDouble(AcadDoc.GetVariable("DIMGAP")) * scale;
    SignUnit = 0.1 * TextHeight;
    AcadApp.setVisible(true);
  });
}

void DrawWeld::Begin(const DrawInput& input) {
  in_ = input;
  PrepareTexts();
}

void DrawWeld::AcadDrawWeld(const DrawInput& input) {
  Begin(input);
  Start_ACAD();
  Guarded("AcadDrawWeld", [this] { DrawGuarded(); });
}

std::optional<StoredDesignation> DrawWeld::TakeFromDrawing(const std::string& application) {
  DrawInput connect;
  connect.Application = application;
  in_ = connect;
  Start_ACAD();
  std::optional<StoredDesignation> found;
  Guarded("TakeFromDrawing", [&] {
    const Taken t = takeDesignation(AcadDoc);
    if (t.outcome == TakeOutcome::Taken) found = t.designation;
    else if (services_.warn) services_.warn(takeMessage(t.outcome));
  });
  return found;
}

void DrawWeld::AcadDrawWeld(const DrawInput& input, const StoredDesignation& replacing) {
  replacing_ = &replacing;
  struct Reset {
    const StoredDesignation*& r;
    ~Reset() { r = nullptr; }
  } reset{replacing_};
  AcadDrawWeld(input);
}

// A replacement takes the points the designation was drawn at; a new one asks the user.
Point DrawWeld::NextPoint(const AcadUtility& utility, const std::optional<Point>& base, const char* prompt,
                          const Point& stored) {
  if (replacing_) return stored;
  return utility.GetPoint(base, cp1251::fromUtf8(prompt));
}

// One undo in the CAD program takes the whole designation away. The mark is closed whatever
// ends the command, so that the user's next work is not taken into this group.
void DrawWeld::DrawGuarded() {
  AcadDoc.StartUndoMark();
  try {
    DrawMarked();
  } catch (...) {
    try {
      AcadDoc.EndUndoMark();
    } catch (const EOleError&) {
      // The host is gone or refuses: the command's own failure is the one to report.
    }
    throw;
  }
  AcadDoc.EndUndoMark();
}

void DrawWeld::DrawMarked() {
  if (replacing_)
    for (const std::string& handle : replacing_->handles) AcadDoc.HandleToObject(handle).Delete();
  ChooseLayer();
  PlaceLeader();
  BlockName = BlockNameAt(services_.now ? services_.now() : std::tm{});
  MakeUniqueBlockName();
  EnsureArrowBlock();
  if (HasAnyText()) {
    DrawShelf();
  } else {
    ApplyMinimumLength(2.5 * ArrowSize);
    WeldBlock = AcadDoc.Blocks().Add(LeaderPoint, BlockName);
  }
  InsertAndLead();
  StoreDesignation();
  AcadDoc.setActiveLayer(SavedLayer_);
}

void DrawWeld::ChooseLayer() {
  const AcadLayers layers = AcadDoc.Layers();
  SavedLayer_ = AcadDoc.ActiveLayer();
  DesignLayer_ = AcadLayer();
  const int count = layers.Count();
  for (int i = 0; i < count; ++i) {
    const AcadLayer layer = layers.ItemAt(i);
    if (layer.name() == in_.LayerName) {
      DesignLayer_ = layer;
      break;
    }
  }
  if (!DesignLayer_.assigned()) {
    DesignLayer_ = layers.Add(in_.LayerName);
    DesignLayer_.setColor(2);
  }
  AcadDoc.setActiveLayer(DesignLayer_);
}

void DrawWeld::PlaceLeader() {
  const AcadUtility utility = AcadDoc.Utility();
  InsertPoint = NextPoint(utility, std::nullopt, "Укажи точку вставки сварки      : ", replacing_ ? replacing_->insert : Point{});
  LeaderPoint = NextPoint(utility, InsertPoint, "Укажи точку расположения выноски: ", replacing_ ? replacing_->bend : Point{});
  PickedBend_ = PickedDirection_ = LeaderPoint;
  Label_ = AcadEntity();
  LeaderAngle = utility.AngleFromXAxis(InsertPoint, LeaderPoint);
  TempLine_ = DrawSpace.AddLine(InsertPoint, LeaderPoint);
}

std::string DrawWeld::BlockNameAt(const std::tm& time) {
  return "Weld_" + std::to_string(time.tm_hour) + std::to_string(time.tm_min) +
         std::to_string(time.tm_sec);
}

// Adding to a block that an earlier designation made would change that designation, so a
// name the drawing holds already gets the first free suffix: Weld_957_2, Weld_957_3, ...
// Asked by name, so the calls do not grow with the drawing.
void DrawWeld::MakeUniqueBlockName() {
  const AcadBlocks blocks = AcadDoc.Blocks();
  const std::string base = BlockName;
  for (int suffix = 2; HasBlock(blocks, BlockName); ++suffix) BlockName = base + "_" + std::to_string(suffix);
}

// A CAD host answers a name it does not hold with an exception of its own; a lost connection
// or any other failure still ends the command.
bool DrawWeld::HasBlock(const AcadBlocks& blocks, const std::string& name) {
  try {
    blocks.ItemNamed(name);
    return true;
  } catch (const EOleException&) {
    return false;
  }
}

void DrawWeld::ApplyMinimumLength(double length) {
  const double d = std::hypot(LeaderPoint[0] - InsertPoint[0], LeaderPoint[1] - InsertPoint[1]);
  if (d > length) return;
  LeaderPoint[0] = InsertPoint[0] + length * std::cos(LeaderAngle);
  LeaderPoint[1] = InsertPoint[1] + length * std::sin(LeaderAngle);
}

void DrawWeld::DrawShelf() {
  WorkPoint1 = NextPoint(AcadDoc.Utility(), LeaderPoint, "Укажи направление выноски: ", replacing_ ? replacing_->direction : Point{});
  PickedDirection_ = WorkPoint1;
  TempLine_.Delete();
  if (!CountText.empty() || !NumberText.empty()) DrawLeaderLabel();
  else ApplyMinimumLength(3 * ArrowSize);
  WeldBlock = AcadDoc.Blocks().Add(LeaderPoint, BlockName);
  ShelfLength = 0;
  // Exactly pi/2 (straight up) still runs to the right, exactly 3 pi/2 to the left.
  LayoutShelf(LeaderAngle > 3 * kPi / 2 || LeaderAngle <= kPi / 2);
}

void DrawWeld::InsertAndLead() {
  Reference_ = DrawSpace.InsertBlock(LeaderPoint, BlockName, 1, 1, 1, 0);
  PointList = {InsertPoint[0], InsertPoint[1], InsertPoint[2],
               LeaderPoint[0], LeaderPoint[1], LeaderPoint[2]};
  const AcadLeader leader = DrawSpace.AddLeader(PointList, Reference_, 2);
  leader.setArrowheadBlock(in_.arrowLeft ? "KelvoL" : "KelvoR");
  leader.setArrowHeadSize(ArrowSize);
  Leader_ = leader;
}

// The same data on every part, so that a pick on any of them finds the whole designation.
void DrawWeld::StoreDesignation() {
  AcadDoc.RegisteredApplications().Add(kXDataApplication);
  StoredDesignation d{in_, InsertPoint, PickedBend_, PickedDirection_, LeaderAngle, {}};
  std::vector<AcadEntity> parts{Reference_, Leader_};
  if (Label_.assigned()) parts.push_back(Label_);
  for (const AcadEntity& part : parts) d.handles.push_back(part.Handle());
  Stored = d;
  const XDataArrays data = designationXData(d);
  for (const AcadEntity& part : parts) part.SetXData(data.types, data.values);
}

}  // namespace kelvo::cad
