// The test programs' main: GoogleTest's, with one last line that says what
// main returned. Wine's Linux process can still abort after that line, in
// glibc's exit-time teardown, where no code of ours runs; cmake/wine-exit.sh
// tells that abort from a program's own failure by this line.
#include <gtest/gtest.h>
#include <stdio.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    printf("quoril-test: main returns %d\n", result);
    fflush(stdout);
    return result;
}
