#include "cad/automation.h"

#include "app/weld_record.h"

#include <cmath>
#include <map>
#include <mutex>

namespace kelvo::cad {

namespace {

[[noreturn]] void mismatch(const char* wanted) {
  throw EOleError(std::string("the host returned a value that is not ") + wanted);
}

struct Registry {
  std::mutex lock;
  std::map<int, Transport> transports;
  int next = 1;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

double toDouble(const Variant& v) {
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* i = std::get_if<std::int32_t>(&v)) return *i;
  if (const auto* s = std::get_if<std::int16_t>(&v)) return *s;
  if (const auto* b = std::get_if<bool>(&v)) return *b ? -1.0 : 0.0;  // VARIANT_TRUE is -1
  if (const auto* c = std::get_if<Currency>(&v)) return static_cast<double>(c->tenThousandths) / 10000.0;
  mismatch("a number");
}

std::int32_t toInt(const Variant& v) {
  if (const auto* i = std::get_if<std::int32_t>(&v)) return *i;
  if (const auto* s = std::get_if<std::int16_t>(&v)) return *s;
  if (const auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
  if (std::holds_alternative<double>(v) || std::holds_alternative<Currency>(v)) {
    const double d = toDouble(v);
    if (!(d >= -2147483648.0 && d <= 2147483647.0)) mismatch("a 32-bit integer");
    // Banker's rounding, as the automation runtime converts reals to integers.
    const double r = std::nearbyint(d);
    return static_cast<std::int32_t>(r);
  }
  mismatch("an integer");
}

std::string toText(const Variant& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  mismatch("a text");
}

ObjectRef toObject(const Variant& v) {
  if (const auto* o = std::get_if<ObjectRef>(&v); o && *o) return *o;
  mismatch("an object");
}

std::vector<double> toDoubles(const Variant& v) {
  if (const auto* a = std::get_if<std::vector<double>>(&v)) return *a;
  if (const auto* s = std::get_if<std::vector<std::int16_t>>(&v)) return {s->begin(), s->end()};
  mismatch("an array of numbers");
}

std::vector<std::int16_t> toShorts(const Variant& v) {
  if (const auto* s = std::get_if<std::vector<std::int16_t>>(&v)) return *s;
  mismatch("an array of whole numbers");
}

std::vector<Variant> toVariants(const Variant& v) {
  if (const auto* a = std::get_if<VariantArray>(&v)) return a->items;
  if (const auto* d = std::get_if<std::vector<double>>(&v)) return {d->begin(), d->end()};
  mismatch("an array of values");
}

bool sameMember(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

int registerTransport(Transport transport) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.transports.emplace(r.next, std::move(transport));
  return r.next++;
}

void unregisterTransport(int token) {
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.transports.erase(token);
}

ObjectRef GetActiveOleObject(std::string_view progId) {
  std::vector<Transport> candidates;
  {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (auto it = r.transports.rbegin(); it != r.transports.rend(); ++it) candidates.push_back(it->second);
  }
  for (const auto& t : candidates)
    if (ObjectRef o = t(progId)) return o;
  throw EOleSysError("Operation unavailable: no running " + std::string(progId));
}

ObjectRef GetActiveOleObjectOf(std::string_view progIds) {
  std::vector<std::string_view> names;
  for (std::size_t at = 0; at <= progIds.size();) {
    std::size_t end = progIds.find(';', at);
    if (end == std::string_view::npos) end = progIds.size();
    std::string_view name = progIds.substr(at, end - at);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (!name.empty()) names.push_back(name);
    at = end + 1;
  }
  if (names.empty()) return GetActiveOleObjectOf(kDefaultApplication);
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    try {
      return GetActiveOleObject(names[i]);
    } catch (const EOleSysError&) {
      // The next program of the list may be the one running.
    }
  }
  return GetActiveOleObject(names.back());
}

}  // namespace kelvo::cad
