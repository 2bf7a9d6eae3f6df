#include "platform/com/com_variant.h"

#include "platform/codepage.h"

#include <cstdio>
#include <limits>

#include <oleauto.h>

namespace kelvo::com {

using cad::EOleError;

namespace {

std::u16string_view bstrView(BSTR s) {
  return s ? std::u16string_view(reinterpret_cast<const char16_t*>(s), SysStringLen(s)) : std::u16string_view();
}

BSTR makeBstr(const std::string& cp1251Text) {
  const std::u16string w = cp1251::toUtf16(cp1251Text);
  BSTR b = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(w.data()), static_cast<UINT>(w.size()));
  if (!b) throw EOleError("Out of memory for a text argument");
  return b;
}

// An integer of any width: int32 when it fits, else a double (no host value is lost).
cad::Variant integer(long long v) {
  if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max())
    return static_cast<std::int32_t>(v);
  return static_cast<double>(v);
}

std::optional<double> number(const VARIANT& v) {
  const VARTYPE t = static_cast<VARTYPE>(v.vt & ~VT_BYREF);
  const bool ref = (v.vt & VT_BYREF) != 0;
  switch (t) {
    case VT_R8: return ref ? *v.pdblVal : v.dblVal;
    case VT_R4: return ref ? *v.pfltVal : v.fltVal;
    case VT_I2: return ref ? *v.piVal : v.iVal;
    case VT_I4: return ref ? *v.plVal : v.lVal;
    case VT_INT: return ref ? *v.pintVal : v.intVal;
    case VT_UI1: return ref ? *v.pbVal : v.bVal;
    case VT_I1: return ref ? *v.pcVal : v.cVal;
    case VT_UI2: return ref ? *v.puiVal : v.uiVal;
    case VT_UI4: return ref ? *v.pulVal : v.ulVal;
    case VT_UINT: return ref ? *v.puintVal : v.uintVal;
    case VT_I8: return static_cast<double>(ref ? *v.pllVal : v.llVal);
    case VT_UI8: return static_cast<double>(ref ? *v.pullVal : v.ullVal);
    case VT_VARIANT: return ref && v.pvarVal ? number(*v.pvarVal) : std::nullopt;
    default: return std::nullopt;
  }
}

std::vector<double> doublesOf(SAFEARRAY* a, VARTYPE element) {
  if (!a || SafeArrayGetDim(a) != 1) throw EOleError("the host returned an array that is not a list of numbers");
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(a, 1, &lo);
  SafeArrayGetUBound(a, 1, &hi);
  std::vector<double> out;
  for (LONG i = lo; i <= hi; ++i) {
    VARIANT item;
    VariantInit(&item);
    if (element == VT_VARIANT) {
      if (FAILED(SafeArrayGetElement(a, &i, &item))) throw EOleError("the host returned an unreadable array");
    } else {
      item.vt = element;
      if (FAILED(SafeArrayGetElement(a, &i, &item.llVal))) throw EOleError("the host returned an unreadable array");
    }
    const auto d = number(item);
    VariantClear(&item);
    if (!d) throw EOleError("the host returned an array that holds something else than numbers");
    out.push_back(*d);
  }
  return out;
}

SAFEARRAY* vectorOf(VARTYPE element, std::size_t size) {
  SAFEARRAY* a = SafeArrayCreateVector(element, 0, static_cast<ULONG>(size));
  if (!a) throw EOleError("Out of memory for an array argument");
  return a;
}

// A SAFEARRAY of plain numbers (VT_R8 points, VT_I2 group codes) holding `items`.
template <typename T>
void numbersInto(const std::vector<T>& items, VARTYPE element, VARIANT& out) {
  SAFEARRAY* a = vectorOf(element, items.size());
  T* data = nullptr;
  SafeArrayAccessData(a, reinterpret_cast<void**>(&data));
  std::copy(items.begin(), items.end(), data);
  SafeArrayUnaccessData(a);
  out.parray = a;
  out.vt = static_cast<VARTYPE>(VT_ARRAY | element);
}

// Group codes: VT_I2 items, as CAD programs take and give them.
std::vector<std::int16_t> shortsOf(SAFEARRAY* a) {
  std::vector<std::int16_t> out;
  for (double d : doublesOf(a, VT_I2)) out.push_back(static_cast<std::int16_t>(d));
  return out;
}

bool allNumbers(const std::vector<cad::Variant>& items) {
  for (const cad::Variant& v : items)
    if (!std::holds_alternative<double>(v) && !std::holds_alternative<std::int32_t>(v) &&
        !std::holds_alternative<std::int16_t>(v))
      return false;
  return true;
}

}  // namespace

void toVariant(const cad::Variant& v, VARIANT& out, const ToDispatch& toDispatch) {
  std::visit(
      [&](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          out.vt = VT_EMPTY;
        } else if constexpr (std::is_same_v<T, cad::Omitted>) {
          out.vt = VT_ERROR;
          out.scode = DISP_E_PARAMNOTFOUND;
        } else if constexpr (std::is_same_v<T, bool>) {
          out.vt = VT_BOOL;
          out.boolVal = x ? VARIANT_TRUE : VARIANT_FALSE;
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          out.vt = VT_I4;
          out.lVal = x;
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
          out.vt = VT_I2;
          out.iVal = x;
        } else if constexpr (std::is_same_v<T, double>) {
          out.vt = VT_R8;
          out.dblVal = x;
        } else if constexpr (std::is_same_v<T, cad::Currency>) {
          out.vt = VT_CY;
          out.cyVal.int64 = x.tenThousandths;
        } else if constexpr (std::is_same_v<T, std::string>) {
          out.bstrVal = makeBstr(x);
          out.vt = VT_BSTR;
        } else if constexpr (std::is_same_v<T, cad::ObjectRef>) {
          if (!x) throw EOleError("Variant does not reference an automation object");
          out.pdispVal = toDispatch(x);
          out.vt = VT_DISPATCH;
        } else if constexpr (std::is_same_v<T, std::vector<std::int16_t>>) {
          numbersInto(x, VT_I2, out);
        } else if constexpr (std::is_same_v<T, cad::VariantArray>) {
          SAFEARRAY* a = vectorOf(VT_VARIANT, x.items.size());
          VARIANT* data = nullptr;
          SafeArrayAccessData(a, reinterpret_cast<void**>(&data));
          try {
            for (std::size_t i = 0; i < x.items.size(); ++i) toVariant(x.items[i], data[i], toDispatch);
          } catch (...) {
            SafeArrayUnaccessData(a);
            SafeArrayDestroy(a);  // clears the items made so far
            throw;
          }
          SafeArrayUnaccessData(a);
          out.parray = a;
          out.vt = VT_ARRAY | VT_VARIANT;
        } else {
          numbersInto(x, VT_R8, out);
        }
      },
      v);
}

cad::Variant fromVariant(const VARIANT& v, const FromDispatch& fromDispatch) {
  const bool ref = (v.vt & VT_BYREF) != 0;
  const VARTYPE t = static_cast<VARTYPE>(v.vt & ~VT_BYREF);
  if (t & VT_ARRAY) {
    SAFEARRAY* a = ref ? (v.pparray ? *v.pparray : nullptr) : v.parray;
    const auto element = static_cast<VARTYPE>(t & ~VT_ARRAY);
    if (element == VT_I2) return shortsOf(a);
    if (element != VT_VARIANT) return doublesOf(a, element);
    // A point may come as variants of numbers: it stays a point. Anything else is an array
    // of values.
    cad::VariantArray items;
    if (!a || SafeArrayGetDim(a) != 1) throw EOleError("the host returned an array of more than one dimension");
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(a, 1, &lo);
    SafeArrayGetUBound(a, 1, &hi);
    for (LONG i = lo; i <= hi; ++i) {
      VARIANT item;
      VariantInit(&item);
      if (FAILED(SafeArrayGetElement(a, &i, &item))) throw EOleError("the host returned an unreadable array");
      try {
        items.items.push_back(fromVariant(item, fromDispatch));
      } catch (...) {
        VariantClear(&item);
        throw;
      }
      VariantClear(&item);
    }
    if (!allNumbers(items.items)) return items;
    std::vector<double> numbers;
    for (const cad::Variant& n : items.items) numbers.push_back(cad::toDouble(n));
    return numbers;
  }
  switch (t) {
    case VT_EMPTY:
    case VT_NULL: return std::monostate{};
    case VT_ERROR: return (ref ? *v.pscode : v.scode) == DISP_E_PARAMNOTFOUND ? cad::Variant(cad::Omitted{}) : std::monostate{};
    case VT_BOOL: return (ref ? *v.pboolVal : v.boolVal) != VARIANT_FALSE;
    case VT_R8:
    case VT_R4:
    case VT_DATE: return t == VT_DATE ? (ref ? *v.pdate : v.date) : *number(v);
    case VT_CY: return cad::Currency{(ref ? *v.pcyVal : v.cyVal).int64};
    case VT_I2: return static_cast<std::int16_t>(ref ? *v.piVal : v.iVal);
    case VT_BSTR: return cp1251::fromUtf16Escaped(bstrView(ref ? *v.pbstrVal : v.bstrVal));
    case VT_VARIANT:
      if (ref && v.pvarVal) return fromVariant(*v.pvarVal, fromDispatch);
      break;
    case VT_DISPATCH: {
      IDispatch* d = ref ? *v.ppdispVal : v.pdispVal;
      if (!d) return cad::ObjectRef();
      return fromDispatch(d);
    }
    case VT_UNKNOWN: {
      IUnknown* u = ref ? *v.ppunkVal : v.punkVal;
      if (!u) return cad::ObjectRef();
      IDispatch* d = nullptr;
      if (FAILED(u->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))) || !d)
        throw EOleError("the host returned an object without late binding");
      cad::ObjectRef o = fromDispatch(d);
      d->Release();
      return o;
    }
    default:
      if (const auto n = number(v)) return integer(static_cast<long long>(*n));
  }
  char code[16];
  std::snprintf(code, sizeof code, "%u", static_cast<unsigned>(v.vt));
  throw EOleError(std::string("the host returned a value of variant type ") + code);
}

std::string statusText(HRESULT hr) {
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::u16string text;
  if (n && buf) text.assign(reinterpret_cast<const char16_t*>(buf), n);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ' || text.back() == u'.'))
    text.pop_back();
  char code[24];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  const std::string t = cp1251::fromUtf16Escaped(text);
  return t.empty() ? std::string("Error ") + code : t + " (" + code + ")";
}

void throwStatus(HRESULT hr, std::string_view member) {
  if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND)
    throw EOleError("Unknown name: " + std::string(member));
  throw cad::EOleSysError(statusText(hr));
}

}  // namespace kelvo::com
