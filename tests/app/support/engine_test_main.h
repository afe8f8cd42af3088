#pragma once

#include <functional>

// The start of a test that runs the real browser engine in its own process: a throwaway home for the
// browser profile, cache and history (never the user's), Chromium's sandbox off when running as root
// (it refuses to start otherwise), the program's own renderer limit, and an application that does not
// quit when its last window closes. `run` runs the tests and gives the exit code.
int runWithBrowserEngine(int argc, char** argv, const std::function<int()>& run);

// The main() of such a test with one test class.
#define ENGINE_TEST_MAIN(TestClass)                                                                   \
    int main(int argc, char** argv) {                                                                 \
        return runWithBrowserEngine(argc, argv, [&] {                                                 \
            TestClass test;                                                                           \
            return QTest::qExec(&test, argc, argv);                                                   \
        });                                                                                           \
    }
