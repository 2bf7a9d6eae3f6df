// Objects of the automation surface on both sides of COM: a host's IDispatch seen as an
// AutoObject (the transport), and an AutoObject served as an IDispatch (the bridge). Windows only.
#pragma once

#include "cad/automation.h"

#include <chrono>
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
// value: GetBoundingBox(MinPoint, MaxPoint). The surface calls them without arguments and gets
// the points one after the other.
int outPointCount(std::string_view member);

// How long a call that a busy host rejects is tried again before it fails (30 s unless set).
void setRejectedCallRetryTime(std::chrono::milliseconds time);
std::chrono::milliseconds rejectedCallRetryTime();

// COM for the calling thread, initialised once (a single-threaded apartment unless the caller
// chose otherwise), with the message filter that retries rejected calls.
void ensureCom();

}  // namespace kelvo::com
