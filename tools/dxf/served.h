// A drawing served in-process to the draw command, as a CAD program serves it: its prompts are
// answered by scripted picks, one a prompt, and a prompt beyond them is cancelled, as Esc does.
#pragma once

#include "host/model/inprocess.h"
#include "host/model/picks.h"

#include <deque>
#include <string>

namespace kelvo::dxftool {

// The drawing, and on stderr what reading it noticed, converted or repaired.
host::Document loadReported(const std::string& fileName);

struct Served {
  host::Document doc;
  std::deque<host::Point> picks;
  host::InProcessHost host;
  Served(host::Document d, const std::string& picksText, host::CallObserver observer = {})
      : doc(std::move(d)), picks(host::parsePicks(picksText)),
        host(doc, [this](const std::string&, const std::optional<host::Point>&) { return next(); }, std::move(observer)) {}

 private:
  std::optional<host::Point> next() {
    if (picks.empty()) return std::nullopt;
    const host::Point p = picks.front();
    picks.pop_front();
    return p;
  }
};

// The draw command's failures on stderr (UTF-8); counts them for the exit status.
struct Warnings {
  int count = 0;
  void operator()(const std::string& cp1251Text);
};

}  // namespace kelvo::dxftool
