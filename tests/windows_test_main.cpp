// The main of every test program of the Windows builds. Under Wine, a process that loaded the OpenGL driver
// sometimes crashes while its libraries are unloaded at exit, after every test has passed and its result is
// printed. The result is known by then, so the process ends without unloading anything.
#include <gtest/gtest.h>

#include <cstdio>

#include <windows.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
