#include "tests/com/com_server.h"

#include "cad/automation.h"
#include "platform/com/com_objects.h"

#include <atomic>
#include <stdexcept>

namespace kelvo::test {

namespace {

std::wstring besideTest(const wchar_t* name) {
  std::wstring path(MAX_PATH * 4, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

std::wstring quoted(const std::string& s) { return L"\"" + std::wstring(s.begin(), s.end()) + L"\""; }

}  // namespace

std::string uniqueProgId() {
  static std::atomic<int> n{0};
  return "KelvoTest" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(++n) + ".Application";
}

ComServer::ComServer(const std::string& progId, const std::vector<std::string>& args) : progId_(progId) {
  std::wstring line = L"\"" + besideTest(L"kelvo-comhost.exe") + L"\" --progid " + quoted(progId);
  for (const std::string& a : args) line += L" " + quoted(a);
  // The server says "ready" on its output once its application is in the Running Object Table;
  // asking the table instead would be a call that a busy server rejects.
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("cannot make a pipe");
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  const BOOL started =
      CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &process_);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    throw std::runtime_error("cannot start kelvo-comhost.exe");
  }
  std::string said;
  char buf[256];
  DWORD n = 0;
  while (said.find("ready") == std::string::npos && ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0)
    said.append(buf, n);
  output_ = readEnd;
  com::ensureCom();
  if (said.find("ready") == std::string::npos) {
    kill();
    CloseHandle(output_);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    throw std::runtime_error("kelvo-comhost.exe did not start: " + said);
  }
}

ComServer::~ComServer() {
  kill();
  CloseHandle(output_);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

int ComServer::quit() {
  try {
    cad::GetActiveOleObject(progId_)->call("Quit", {});
  } catch (const cad::EOleException&) {
    return -1;
  } catch (const cad::EOleSysError&) {
    // A program that ends on Quit may end before its answer reaches the caller (AutoCAD's
    // Quit is known for it): the connection breaks, and the program's exit tells the rest.
  } catch (const cad::EOleError&) {
    return -1;
  }
  if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}

void ComServer::kill() {
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 9);
    WaitForSingleObject(process_.hProcess, 10000);
  }
}

}  // namespace kelvo::test
