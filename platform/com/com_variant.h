// The automation surface's variant as a COM VARIANT and back, shared by the COM transport and
// the IDispatch bridge, and the text of a failed HRESULT. Windows only.
#pragma once

#include "cad/automation.h"

#include <functional>
#include <string>

#include <oaidl.h>

namespace kelvo::com {

// Objects cross as IDispatch: the one for an object (a reference the caller owns), and the
// object for an IDispatch (borrowed; the object takes its own reference).
using ToDispatch = std::function<IDispatch*(const cad::ObjectRef&)>;
using FromDispatch = std::function<cad::ObjectRef(IDispatch*)>;

// `out` must be empty (VariantInit); on failure it stays empty and EOleError is raised.
void toVariant(const cad::Variant& v, VARIANT& out, const ToDispatch& toDispatch);
// Accepts what hosts answer: every integer type, VT_R4, VT_BYREF values, arrays of VT_R8 or of
// VARIANTs holding numbers. Anything else is EOleError.
cad::Variant fromVariant(const VARIANT& v, const FromDispatch& fromDispatch);

// A VARIANT that clears itself.
class OwnedVariant {
 public:
  OwnedVariant() { VariantInit(&v_); }
  ~OwnedVariant() { VariantClear(&v_); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  VARIANT& get() { return v_; }
  VARIANT* operator&() { return &v_; }

 private:
  VARIANT v_;
};

// The system's text for a status, in Windows-1251, with the code: "Operation unavailable
// (0x800401E3)".
std::string statusText(HRESULT hr);

// Failed statuses of a member call as the surface's kinds: a member the object lacks is
// EOleError, any other failed status EOleSysError.
[[noreturn]] void throwStatus(HRESULT hr, std::string_view member);

}  // namespace kelvo::com
