#include "cad/draw_weld.h"

#include "cad/designation_xdata.h"
#include "cad/take_designation.h"
#include "platform/codepage.h"

#include "platform/foreground.h"

#include <cmath>
#include <numbers>
#include <unordered_set>

namespace kelvo::cad {

using namespace kelvo::literals;

namespace {
constexpr double kPi = std::numbers::pi;
}

// AutoCAD documents no range for AngleFromXAxis; the side of the shelf is decided in [0, 2 pi).
double DrawWeld::NormalAngle(double a) {
  if (!std::isfinite(a)) return 0;
  a = std::fmod(a, 2 * kPi);
  if (a < 0) a += 2 * kPi;
  return a >= 2 * kPi ? 0 : a;
}

DrawWeld::DrawWeld(Services services) : services_(std::move(services)) {}

bool DrawWeld::HasAnyText() const {
  return CountText.size() + NumberText.size() + StandardText.size() + JointText.size() +
             MethodText.size() + LegText.size() + IntermittentText.size() + RoughnessText.size() >
         0;
}

void DrawWeld::Warn(const char* procedure, const std::string& reason) const {
  const std::string text = std::string("Модуль   : Draw_Weld\r\nПроцедура: "_w) + procedure +
                           std::string("\r\nОшибка   : "_w) + reason;
  if (services_.warn) services_.warn(text);
}

// The three failure kinds, the most special first, each with the reason the user reads.
void DrawWeld::Guarded(const char* procedure, const std::function<void()>& step) const {
  auto report = [&](std::string_view reason, const char* kind) {
    Warn(procedure, std::string(reason) + " (" + kind + ")");
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
  const shelf::Prepared p = shelf::prepare(in_);
  CountText = p.count, NumberText = p.number, StandardText = p.standard, JointText = p.joint;
  MethodText = p.method, LegText = p.leg, IntermittentText.clear(), RoughnessText = p.roughness;
  IntermittentCarried_ = p.intermittent;
  IntermittentOnLeg_ = p.intermittentOnLeg;
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
    const bool paper = tilemode != 1 && cvport == 1;
    Scale = OverallScale(toDouble(AcadDoc.GetVariable("DIMSCALE")), paper);
    TextHeight = toDouble(AcadDoc.GetVariable("DIMTXT")) * Scale;
    ArrowheadSize = toDouble(AcadDoc.GetVariable("DIMASZ"));
    ArrowSize = ArrowheadSize * Scale;
    TextGap = toDouble(AcadDoc.GetVariable("DIMGAP")) * Scale;
    SignUnit = 0.1 * TextHeight;
    AcadApp.setVisible(true);
  });
}

// DIMSCALE 0 is an annotative dimension style's: AutoCAD then scales by the annotation scale
// in model space (CANNOSCALEVALUE is paper units per drawing unit, 0.1 at 1:10) and not at all
// on paper. A program that knows no annotation scale draws at 1.
double DrawWeld::OverallScale(double dimscale, bool paper) const {
  if (dimscale != 0) return dimscale;
  if (paper) return 1.0;
  double value = 0;
  try {
    value = toDouble(AcadDoc.GetVariable("CANNOSCALEVALUE"));
  } catch (const EOleException&) {
    return 1.0;  // the program has no such variable
  } catch (const EOleSysError&) {
    throw;  // the connection failed
  } catch (const EOleError&) {
    return 1.0;
  }
  return value > 0 && std::isfinite(1.0 / value) ? 1.0 / value : 1.0;
}

void DrawWeld::Begin(const DrawInput& input) {
  in_ = input;
  PrepareTexts();
}

void DrawWeld::AcadDrawWeld(const DrawInput& input) {
  Begin(input);
  Start_ACAD();
  Guarded("AcadDrawWeld", [this] {
    try {
      if (NumberIsFree()) DrawGuarded([this] { DrawMarked(); });
    } catch (const LayerUnusable& refused) {
      Warn("AcadDrawWeld", refused.reason);
    }
  });
}

std::optional<StoredDesignation> DrawWeld::TakeFromDrawing(const std::string& application) {
  DrawInput connect;
  connect.Application = application;
  in_ = connect;
  Start_ACAD();
  std::optional<StoredDesignation> found;
  Guarded("TakeFromDrawing", [&] {
    BringToFront();
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

// A replacement takes the points the designation was drawn at; a new one asks the user. Each
// prompt begins a line of its own in the CAD program's command line. AutoCAD answers Esc or
// Enter at a prompt with the same error as any refused call, so that error from a prompt is
// the user's cancel; a lost connection is another kind and still ends with its message.
Point DrawWeld::NextPoint(const AcadUtility& utility, const std::optional<Point>& base, const char* prompt,
                          const Point& stored) {
  if (replacing_) return stored;
  try {
    return utility.GetPoint(base, "\n" + cp1251::fromUtf8(prompt));
  } catch (const EOleException&) {
    throw PromptCancelled{};
  }
}

// The CAD program's window to the front before it asks for anything; a program that does not
// tell its window's handle is left where it is.
void DrawWeld::BringToFront() const {
  std::int64_t handle = 0;
  try {
    handle = AcadApp.HWND();
  } catch (const EOleException&) {
    return;
  } catch (const EOleSysError&) {
    throw;
  } catch (const EOleError&) {
    return;
  }
  platform::bringWindowToFront(handle);
}

// One undo in the CAD program takes the whole designation away. The mark is closed whatever
// ends the command, so that the user's next work is not taken into this group.
void DrawWeld::DrawGuarded(const std::function<void()>& body) {
  // A guide line an earlier command left in the drawing (the one of a designation without text)
  // is the user's now: a cancel here must not take it.
  TempLine_ = AcadEntity();
  AcadDoc.StartUndoMark();
  struct Restore {
    bool& ask;
    ~Restore() { ask = true; }
  } restore{askDirection_};
  try {
    body();
  } catch (const PromptCancelled&) {
    // The user's Esc: the guide line goes and the layer is given back, as if nothing was asked.
    if (TempLine_.assigned()) TempLine_.Delete();
    TempLine_ = AcadEntity();
    AcadDoc.setActiveLayer(SavedLayer_);
    AcadDoc.EndUndoMark();
    return;
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
  TempLine_ = AcadEntity();
  ChooseLayer();
  if (replacing_)
    for (const std::string& handle : replacing_->handles) AcadDoc.HandleToObject(handle).Delete();
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

// Layer names compare without regard to case, as CAD programs compare them: the user's own
// layer is used as it is, never recoloured. One that cannot take the designation whole (frozen:
// it cannot be made current; locked: nothing on it can be changed; off: nothing would be seen)
// is reported before anything is drawn.
void DrawWeld::ChooseLayer() {
  const AcadLayers layers = AcadDoc.Layers();
  SavedLayer_ = AcadDoc.ActiveLayer();
  DesignLayer_ = AcadLayer();
  const int count = layers.Count();
  for (int i = 0; i < count; ++i) {
    const AcadLayer layer = layers.ItemAt(i);
    if (cp1251::equalsIgnoreCase(layer.name(), in_.LayerName)) {
      DesignLayer_ = layer;
      break;
    }
  }
  if (DesignLayer_.assigned()) {
    const std::string name = "\"" + DesignLayer_.name() + "\"";
    if (DesignLayer_.Freeze())
      throw LayerUnusable{std::string("Слой "_w) + name + std::string(" заморожен. Разморозьте его и повторите команду."_w)};
    if (DesignLayer_.Lock())
      throw LayerUnusable{std::string("Слой "_w) + name + std::string(" заблокирован. Разблокируйте его и повторите команду."_w)};
    if (!DesignLayer_.LayerOn())
      throw LayerUnusable{std::string("Слой "_w) + name + std::string(" отключён. Включите его и повторите команду."_w)};
  } else {
    DesignLayer_ = layers.Add(in_.LayerName);
    DesignLayer_.setColor(2);
  }
  AcadDoc.setActiveLayer(DesignLayer_);
}

void DrawWeld::PlaceLeader() {
  const AcadUtility utility = AcadDoc.Utility();
  if (!replacing_) BringToFront();
  InsertPoint = NextPoint(utility, std::nullopt, "Укажи точку вставки сварки      : ", replacing_ ? replacing_->insert : Point{});
  LeaderPoint = NextPoint(utility, InsertPoint, "Укажи точку расположения выноски: ", replacing_ ? replacing_->bend : Point{});
  PickedBend_ = PickedDirection_ = LeaderPoint;
  Label_ = AcadEntity();
  LeaderAngle = NormalAngle(utility.AngleFromXAxis(InsertPoint, LeaderPoint));
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
  WorkPoint1 = askDirection_ ? NextPoint(AcadDoc.Utility(), LeaderPoint, "Укажи направление выноски: ",
                                         replacing_ ? replacing_->direction : Point{})
                             : LeaderPoint;
  PickedDirection_ = WorkPoint1;
  TempLine_.Delete();
  TempLine_ = AcadEntity();
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
  // AutoCAD draws a leader's arrowhead at its size times its overall scale: the unscaled size
  // and the command's own scale give ArrowSize, and a later change of the drawing's scale
  // treats the leader as it treats its own.
  leader.setScaleFactor(Scale);
  leader.setArrowHeadSize(ArrowheadSize);
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
