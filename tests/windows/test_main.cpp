// The Windows tests' entry point. CTest on the build machine reads the list of tests and the
// results from standard output, so it is written with LF line ends rather than text mode's
// CR LF.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
