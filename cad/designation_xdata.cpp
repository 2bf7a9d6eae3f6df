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
  // A text longer than a CAD program's string of extended data goes as pieces in braces.
  void text(const std::string& s) {
    const std::vector<std::string> pieces = xdataPieces(s);
    if (pieces.size() == 1) return add(1000, pieces.front());
    add(1002, std::string("{"));
    for (const std::string& p : pieces) add(1000, p);
    add(1002, std::string("}"));
  }
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
    if (code == 1000 && at(1002, "{")) {
      ++i_;
      std::string whole;
      while (ok_ && !at(1002, "}")) whole += text();
      next(1002);
      return whole;
    }
    const Variant* v = next(code);
    const auto* s = v ? std::get_if<std::string>(v) : nullptr;
    return s ? *s : (fail(), std::string());
  }
  int integer(std::int16_t code = 1070) {
    const Variant* v = next(code);
    // A CAD program answers 1070 as a 16-bit integer (VT_I2), 1071 as a 32-bit one.
    if (const auto* i = v ? std::get_if<std::int32_t>(v) : nullptr) return *i;
    if (const auto* s = v ? std::get_if<std::int16_t>(v) : nullptr) return *s;
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
  bool at(std::int16_t code, const char* text) const {
    if (!ok_ || i_ >= types_.size() || i_ >= values_.size() || types_[i_] != code) return false;
    const auto* s = std::get_if<std::string>(&values_[i_]);
    return s && *s == text;
  }
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

// Bytes a character may take in a drawing: ASCII one; anything else at most seven, as the
// \U+XXXX escape of a drawing whose code page lacks it (UTF-8 needs three at most).
std::size_t worstBytes(const std::string& s, std::size_t i, std::size_t& length) {
  const auto c = static_cast<unsigned char>(s[i]);
  length = 1;
  if (c == '\\' && i + 7 <= s.size() && (s[i + 1] == 'U' || s[i + 1] == 'u') && s[i + 2] == '+') length = 7;
  return c < 0x80 && length == 1 ? 1 : 7;
}

}  // namespace

std::vector<std::string> xdataPieces(const std::string& text) {
  std::vector<std::string> pieces(1);
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    const std::size_t cost = worstBytes(text, i, length);
    if (bytes + cost > kMaxXDataBytes) pieces.emplace_back(), bytes = 0;
    pieces.back().append(text, i, length);
    bytes += cost, i += length;
  }
  return pieces;
}

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
