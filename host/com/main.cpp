// kelvo-comhost [--progid PROGID] --picks "x,y;x,y" [--transcript FILE] [--output OUT.dxf]
//               [--busy SECONDS] [--hold] [--stall-after CALLS] [DRAWING.dxf]
// The drawing host's model served through COM, as a CAD program serves its automation object:
// the application is registered in the Running Object Table under the CLSID of PROGID
// ("AutoCAD.Application" by default), and the ProgID itself is registered for the current user
// so that it works in a fresh prefix. Prompts are answered from --picks (one beyond them is
// cancelled, or with --hold waits like a user who does not pick). --busy rejects every incoming
// call for that many seconds, as a CAD program does while a command or a dialog runs.
// --stall-after stops answering once that many calls were served, as a hung program does: alive,
// not busy, the next call never returns. Quit on the
// application, or Ctrl+C, saves to --output and ends the server.
#include "host/com/registration.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/object_model.h"
#include "host/model/picks.h"
#include "platform/codepage.h"
#include "platform/com/com_bridge.h"

#include <cstdio>
#include <deque>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <windows.h>

// COM objects end through Release, never through a pointer to the interface.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace {

using namespace kelvo;
using namespace kelvo::host;

struct Options {
  std::string progId = "AutoCAD.Application";
  std::string picks, transcript, output, drawing;
  double busySeconds = 0;
  bool hold = false;
  long long stallAfter = -1;
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
    if (a == "--progid") o.progId = value();
    else if (a == "--picks") o.picks = value();
    else if (a == "--transcript") o.transcript = value();
    else if (a == "--output") o.output = value();
    else if (a == "--busy") o.busySeconds = std::stod(value());
    else if (a == "--hold") o.hold = true;
    else if (a == "--stall-after") o.stallAfter = std::stoll(value());
    else if (!a.empty() && a[0] != '-' && o.drawing.empty()) o.drawing = a;
    else return false;
  }
  return !o.progId.empty();
}

DWORD gMainThread = 0;

BOOL WINAPI onConsoleEvent(DWORD) {
  PostThreadMessageW(gMainThread, WM_QUIT, 0, 0);
  return TRUE;
}

// Waits for messages (the calls of COM clients arrive as messages of this apartment) until
// WM_QUIT. Returns false when the quit came.
bool pumpUntilQuit() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return false;
}

// A busy CAD program: every incoming call is rejected until the time has passed.
class BusyFilter final : public IMessageFilter {
 public:
  explicit BusyFilter(ULONGLONG until) : until_(until) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IMessageFilter) {
      *out = static_cast<IMessageFilter*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    // A CAD program answers RETRYLATER, but wine's server side lets such a call through
    // (not implemented); REJECTED reaches the client as RPC_E_CALL_REJECTED on both, which is
    // what a client sees of a busy CAD program once its filter stops retrying.
    return GetTickCount64() < until_ ? SERVERCALL_REJECTED : SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

 private:
  ULONGLONG until_;
};

PromptHandler scriptedPrompts(std::deque<Point>& picks, bool hold) {
  return [&picks, hold](const std::string&, const std::optional<Point>&) -> std::optional<Point> {
    if (picks.empty() && hold) {
      pumpUntilQuit();
      PostQuitMessage(0);  // the server's own loop must see the quit too
    }
    if (picks.empty()) return std::nullopt;
    const Point p = picks.front();
    picks.pop_front();
    return p;
  };
}

int serve(const Options& opt) {
  Document doc = opt.drawing.empty() ? Document() : loadDxf(opt.drawing);
  for (const std::string& w : doc.warnings) std::fprintf(stderr, "%s: %s\n", opt.drawing.c_str(), w.c_str());
  for (const std::string& r : readingReport(doc)) std::fprintf(stderr, "%s: %s\n", opt.drawing.c_str(), r.c_str());
  std::deque<Point> picks = parsePicks(opt.picks);
  std::ofstream transcript;
  if (!opt.transcript.empty()) transcript.open(opt.transcript, std::ios::binary | std::ios::trunc);
  auto context = std::make_shared<HostContext>(HostContext{doc, scriptedPrompts(picks, opt.hold), nullptr, nullptr,
                                                           [] { PostQuitMessage(0); }, {}, {}, {}});
  long long served = 0;
  context->observer = [&transcript, &served, &opt](const std::string& object, const std::string& member,
                                                  const cad::Args& args, const cad::Variant& result) {
    if (transcript.is_open()) transcript << transcriptLine(object, member, args, result) << std::endl;
    if (opt.stallAfter >= 0 && ++served > opt.stallAfter) Sleep(INFINITE);
  };

  const CLSID clsid = registerProgId(opt.progId);
  BusyFilter busy(GetTickCount64() + static_cast<ULONGLONG>(opt.busySeconds * 1000));
  IMessageFilter* previous = nullptr;
  if (opt.busySeconds > 0) CoRegisterMessageFilter(&busy, &previous);

  IDispatch* app = com::makeDispatch(makeApplication(context));
  DWORD cookie = 0;
  HRESULT hr = RegisterActiveObject(app, clsid, ACTIVEOBJECT_STRONG, &cookie);
  if (FAILED(hr)) {
    std::cerr << "kelvo-comhost: cannot register the running object (0x" << std::hex << hr << ")\n";
    app->Release();
    return 1;
  }
  std::cout << "ready" << std::endl;
  pumpUntilQuit();
  RevokeActiveObject(cookie, nullptr);
  app->Release();
  if (opt.busySeconds > 0) CoRegisterMessageFilter(previous, nullptr);
  const std::string out = opt.output.empty() ? opt.drawing : opt.output;
  if (!out.empty()) saveDxf(doc, out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!parse(argc, argv, opt)) {
    std::cerr << "usage: kelvo-comhost [--progid PROGID] --picks \"x,y;x,y\" [--transcript FILE] "
                 "[--output OUT.dxf] [--busy SECONDS] [--hold] [--stall-after CALLS] [DRAWING.dxf]\n";
    return 2;
  }
  gMainThread = GetCurrentThreadId();
  // The thread's message queue must exist before a console event posts to it.
  MSG peek;
  PeekMessageW(&peek, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int status = 1;
  try {
    status = serve(opt);
  } catch (const std::exception& e) {
    std::cerr << "kelvo-comhost: " << e.what() << "\n";
  }
  // No CoUninitialize: under wine it can wait for ever in RpcServerUnregisterIf for a call that
  // no thread runs any more (seen under load: the RPC I/O threads idle, the call count never back
  // to zero), which left the program alive after its Quit. The drawing is saved by now and COM
  // holds nothing that must be handed back, so the process ends and the system tears COM down,
  // as it does for a CAD program that is closed while clients still hold its objects.
  std::cout.flush();
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(status));
}
