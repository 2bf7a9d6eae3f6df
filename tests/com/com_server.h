// kelvo-comhost.exe (beside the test program) in a process of its own, ended with the test
// whatever happens.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <windows.h>

namespace kelvo::test {

// A ProgID no other test of any process uses.
std::string uniqueProgId();

class ComServer {
 public:
  // Starts the server with these arguments and waits until its application is running.
  ComServer(const std::string& progId, const std::vector<std::string>& args);
  ~ComServer();
  ComServer(const ComServer&) = delete;
  ComServer& operator=(const ComServer&) = delete;

  // Asks the application to Quit (it saves to --output) and waits for the process to end.
  // Returns its exit code, or -1 when it did not end in time.
  int quit();
  void kill();

 private:
  PROCESS_INFORMATION process_{};
  HANDLE output_ = nullptr;
  std::string progId_;
};

}  // namespace kelvo::test
