#include "cad/designation_xdata.h"

namespace kelvo::cad {

namespace {

class Writer {
 public:
  XDataArrays out;
  void add(std::int16_t code, Variant v) {
    out.types.push_back(code);
    out.values.items.push_back(std::move(v));
  }
  void text(const std::string& s) { add(1000, s); }
  void small(int v) { add(1070, static_cast<std::int32_t>(v)); }
  void point(const std::array<double, 3>& p) { add(1010, std::vector<double>{p[0], p[1], p[2]}); }
};

// Reads the list in the order it was written; any code or value out of place ends it.
class Reader {
 public:
  Reader(const std::vector<std::int16_t>& t, const std::vector<Variant>& v) : types_(t), values_(v) {}
  bool ok() const { return ok_; }
  const Variant* next(std::int16_t code) {
    if (!ok_ || i_ >= types_.size() || i_ >= values_.size() || types_[i_] != code) return fail();
    return &values_[i_++];
  }
  std::string text(std::int16_t code = 1000) {
    const Variant* v = next(code);
    const auto* s = v ? std::get_if<std::string>(v) : nullptr;
    return s ? *s : (fail(), std::string());
  }
  int integer(std::int16_t code = 1070) {
    const Variant* v = next(code);
    if (const auto* i = v ? std::get_if<std::int32_t>(v) : nullptr) return *i;
    return fail(), 0;
  }
  double real() {
    const Variant* v = next(1040);
    if (const auto* d = v ? std::get_if<double>(v) : nullptr) return *d;
    return fail(), 0.0;
  }
  std::array<double, 3> point() {
    const Variant* v = next(1010);
    const auto* p = v ? std::get_if<std::vector<double>>(v) : nullptr;
    if (!p || p->size() != 3) return fail(), std::array<double, 3>{};
    return {(*p)[0], (*p)[1], (*p)[2]};
  }

 private:
  const Variant* fail() {
    ok_ = false;
    return nullptr;
  }
  const std::vector<std::int16_t>& types_;
  const std::vector<Variant>& values_;
  std::size_t i_ = 0;
  bool ok_ = true;
};

std::uint8_t code8(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

}  // namespace

XDataArrays designationXData(const StoredDesignation& d) {
  Writer w;
  const DrawInput& in = d.input;
  w.add(1001, std::string(kXDataApplication));
  w.add(1071, static_cast<std::int32_t>(kXDataVersion));
  for (const std::string& t : in.texts) w.text(t);
  w.small(in.side == Side::Back ? 1 : 0);
  w.small(in.arrowLeft ? 1 : 0);
  w.small(in.Znak1);
  w.small(in.Znak2);
  w.text(in.Znaki2.text());
  w.text(in.NumberType);
  w.text(in.WeldData.Gost), w.text(in.WeldData.GostName), w.text(in.WeldData.Tip), w.text(in.WeldData.Spos);
  w.small(in.WeldData.RisNum);
  w.point(d.insert), w.point(d.bend), w.point(d.direction);
  w.add(1040, d.leaderAngle);
  w.small(static_cast<int>(d.handles.size()));
  for (const std::string& h : d.handles) w.add(1005, h);
  return std::move(w.out);
}

std::optional<StoredDesignation> readDesignationXData(const std::vector<std::int16_t>& types,
                                                      const std::vector<Variant>& values) {
  Reader r(types, values);
  if (r.text(1001) != kXDataApplication || r.integer(1071) != kXDataVersion) return std::nullopt;
  StoredDesignation d;
  DrawInput& in = d.input;
  for (std::string& t : in.texts) t = r.text();
  in.side = r.integer() == 1 ? Side::Back : Side::Front;
  in.arrowLeft = r.integer() != 0;
  in.Znak1 = code8(r.integer());
  in.Znak2 = code8(r.integer());
  in.Znaki2 = ShelfSigns::parse(r.text());
  in.NumberType = r.text();
  in.WeldData.Gost = r.text(), in.WeldData.GostName = r.text(), in.WeldData.Tip = r.text(), in.WeldData.Spos = r.text();
  in.WeldData.RisNum = code8(r.integer());
  d.insert = r.point(), d.bend = r.point(), d.direction = r.point();
  d.leaderAngle = r.real();
  const int handles = r.integer();
  for (int i = 0; i < handles && i < 3; ++i) d.handles.push_back(r.text(1005));
  if (!r.ok() || handles < 2 || handles > 3) return std::nullopt;
  return d;
}

}  // namespace kelvo::cad
