// Objects of the automation surface on both sides of COM: a host's IDispatch seen as an
// AutoObject (the transport), and an AutoObject served as an IDispatch (the bridge). Windows only.
#pragma once

#include "cad/automation.h"

#include <chrono>
#include <optional>
#include <string_view>

#include <oaidl.h>

namespace kelvo::com {

// The object for an IDispatch: a bridge of this process gives back the object it serves,
// anything else is wrapped for late-bound calls. The IDispatch is borrowed.
cad::ObjectRef objectFor(IDispatch* dispatch);
// The IDispatch for an object (a new reference): a wrapped IDispatch is handed back as itself,
// any other object is served through a new bridge.
IDispatch* dispatchFor(const cad::ObjectRef& object);

// The transport's halves of the two above: a host's IDispatch wrapped, and the IDispatch of a
// wrapped object (a new reference; nullptr for an object that is not wrapped).
cad::ObjectRef wrapForeign(IDispatch* dispatch);
IDispatch* wrappedDispatch(const cad::ObjectRef& object);

// Members whose results come back through by-reference parameters rather than as the call's
// value: GetBoundingBox(MinPoint, MaxPoint), GetXData(AppName, Types, Values) and
// GetEntity(Object, PickedPoint, Prompt). The surface passes only the inputs; `before` of them
// stand before the outputs in the COM call. GetBoundingBox answers its points one after the
// other, the others an array of their outputs. AutoCAD's type library declares GetEntity's
// Object as IDispatch**, which a VARIANT passed by reference does not match (type mismatch):
// that output goes as VT_BYREF | VT_DISPATCH.
struct OutParams {
  std::size_t before = 0;
  std::size_t outs = 0;
  bool points = false;
  bool firstIsObject = false;
};
std::optional<OutParams> outParams(std::string_view member);

// How long a call that a busy host rejects is tried again before it fails (30 s unless set).
void setRejectedCallRetryTime(std::chrono::milliseconds time);
// How long a call may go unanswered by a host that is neither busy nor waiting for its user
// (hung) before it fails as an unavailable operation: 35 s unless set, and never less than the
// retry time of a busy host and 5 s more; the other calls of the command then fail at once.
// Prompts wait for the user as long as the user takes.
void setUnansweredCallTime(std::chrono::milliseconds time);
std::chrono::milliseconds unansweredCallTime();
std::chrono::milliseconds rejectedCallRetryTime();

// COM for the calling thread, initialised once (a single-threaded apartment unless the caller
// chose otherwise), with the message filter that retries rejected calls.
void ensureCom();

}  // namespace kelvo::com
