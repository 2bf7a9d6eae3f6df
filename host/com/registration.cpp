#include "host/com/registration.h"

#include "platform/codepage.h"

#include <cstdint>
#include <stdexcept>

#include <objbase.h>

namespace kelvo::host {

namespace {

// A name-based CLSID: the same ProgID gives the same CLSID in every run and prefix.
CLSID clsidFromName(const std::string& name) {
  std::uint64_t h1 = 1469598103934665603ull, h2 = 1099511628211ull * 31;
  for (unsigned char c : name) {
    h1 = (h1 ^ c) * 1099511628211ull;
    h2 = (h2 ^ c) * 0x100000001b3ull + 0x9e3779b97f4a7c15ull;
  }
  CLSID id{};
  id.Data1 = static_cast<unsigned long>(h1 >> 32);
  id.Data2 = static_cast<unsigned short>(h1 >> 16);
  id.Data3 = static_cast<unsigned short>((h1 & 0x0FFF) | 0x5000);  // version 5: from a name
  for (int i = 0; i < 8; ++i) id.Data4[i] = static_cast<unsigned char>(h2 >> (8 * i));
  id.Data4[0] = static_cast<unsigned char>((id.Data4[0] & 0x3F) | 0x80);
  return id;
}

void setDefault(HKEY root, const std::wstring& key, const std::wstring& value) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("cannot write the registry key for the ProgID");
  RegSetValueExW(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
}

}  // namespace

CLSID registerProgId(const std::string& progId) {
  const std::u16string w16 = cp1251::toUtf16(progId);
  const std::wstring wide(w16.begin(), w16.end());
  CLSID known{};
  if (SUCCEEDED(CLSIDFromProgID(wide.c_str(), &known))) return known;
  const CLSID id = clsidFromName(progId);
  wchar_t text[64] = {};
  StringFromGUID2(id, text, 64);
  setDefault(HKEY_CURRENT_USER, L"Software\\Classes\\" + wide + L"\\CLSID", text);
  setDefault(HKEY_CURRENT_USER, L"Software\\Classes\\CLSID\\" + std::wstring(text) + L"\\ProgID", wide);
  // Windows merges the user's classes into HKEY_CLASSES_ROOT; wine 8 does not, and its
  // CLSIDFromProgID reads only the machine's. A wine prefix lets any user write those.
  if (FAILED(CLSIDFromProgID(wide.c_str(), &known))) {
    setDefault(HKEY_CLASSES_ROOT, wide + L"\\CLSID", text);
    setDefault(HKEY_CLASSES_ROOT, L"CLSID\\" + std::wstring(text) + L"\\ProgID", wide);
  }
  return id;
}

}  // namespace kelvo::host
