// Crash safety by force: a child process repeats some writing until it is killed (SIGKILL) at a
// random moment; after each kill the test looks at what it left.
#pragma once

#include <functional>

namespace kelvo::test {

// `runs` children, each killed at a random moment of `repeat`ing; `check(run)` after each.
void killWhileRepeating(int runs, const std::function<void()>& repeat, const std::function<void(int)>& check);

}  // namespace kelvo::test
