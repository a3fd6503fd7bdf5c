// The main of every test program: headless SDL and the source and build folders, unless the
// caller chose otherwise.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("TM_SOURCE_DIR", TM_SOURCE_FOLDER, 0);
    setenv("TM_BINARY_DIR", TM_BUILD_FOLDER, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
