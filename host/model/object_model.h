// The drawing host's object model: the members the draw command uses, served over a Document
// with a CAD system's semantics, through the automation surface.
#pragma once

#include "cad/automation.h"
#include "host/model/document.h"
#include "host/model/undo_history.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::host {

// Answers a point prompt: the picked point, or nothing when the user cancels.
using PromptHandler =
    std::function<std::optional<Point>(const std::string& prompt, const std::optional<Point>& base)>;

// Told of every call served: object label, member, arguments and result.
using CallObserver = std::function<void(const std::string& object, const std::string& member,
                                        const cad::Args& args, const cad::Variant& result)>;

struct HostContext {
  Document& doc;
  PromptHandler prompt;
  CallObserver observer;           // may be empty
  std::function<void()> onVisible;  // Visible set to true; may be empty
  std::function<void()> onQuit;     // the application's Quit; may be empty
  UndoHistory undo;                 // the undo groups the clients mark
  std::function<std::int64_t()> windowHandle;  // Application.HWND; may be empty (no window: 0)
  // The document's named selection sets: the entities each holds, by block, position and handle.
  struct SelectionSet {
    std::string name;
    struct Item {
      std::size_t block = 0, index = 0;
      std::string handle;
    };
    std::vector<Item> items;
  };
  std::vector<SelectionSet> selectionSets;
};

// The application object of the host; every other object is reached from it.
cad::ObjectRef makeApplication(std::shared_ptr<HostContext> context);

// How many objects of the model are alive, served to any client: a count that must not grow
// from one draw command to the next.
std::size_t liveHostObjects();

// The label an object of the host is known by in transcripts ("?" for another's).
std::string hostObjectLabel(const cad::ObjectRef& o);

// A call's result or arguments as one JSON value (texts in UTF-8, objects by their label).
std::string variantJson(const cad::Variant& v);
// One line of a transcript of served calls: {"object":..,"member":..,"args":[..],"result":..}.
std::string transcriptLine(const std::string& object, const std::string& member, const cad::Args& args,
                           const cad::Variant& result);

}  // namespace kelvo::host
