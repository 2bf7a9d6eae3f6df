#include "host/model/picks.h"

#include <charconv>
#include <stdexcept>
#include <string>

namespace kelvo::host {

std::deque<Point> parsePicks(std::string_view text) {
  std::deque<Point> picks;
  while (!text.empty()) {
    const std::size_t semi = text.find(';');
    std::string_view one = text.substr(0, semi);
    text = semi == std::string_view::npos ? std::string_view() : text.substr(semi + 1);
    if (one.find_first_not_of(' ') == std::string_view::npos) continue;
    Point p{};
    for (std::size_t i = 0; i < 3 && !one.empty(); ++i) {
      const std::size_t comma = one.find(',');
      std::string_view v = one.substr(0, comma);
      one = comma == std::string_view::npos ? std::string_view() : one.substr(comma + 1);
      while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
      while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), p[i]);
      if (ec != std::errc() || end != v.data() + v.size())
        throw std::invalid_argument("not a coordinate in the picks: " + std::string(v));
    }
    picks.push_back(p);
  }
  return picks;
}

}  // namespace kelvo::host
