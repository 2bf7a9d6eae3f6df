// Holds a window, and so wine's desktop, until it is killed. Wine starts its desktop process
// on demand for the first window and ends it once no program has a window; two programs that
// make their first windows at the moment it is (re)started can have one of them lose what is
// posted to its windows: a COM server whose apartment then never hears of an incoming call
// (seen: the call waiting in dispatch_rpc, the apartment idle in GetMessage). With this running
// for the whole test run the desktop is started once, by one program, as Windows has it always.
#include <windows.h>

int main() {
  if (!CreateWindowExW(0, L"Message", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
