#pragma once
// The build tree whose game folder the tests check: TM_BINARY_DIR, or else the tree this test
// program was built in (<build>/tests/test_x). Empty when neither holds a game.
#include <cstdlib>
#include <filesystem>

inline std::filesystem::path buildTree()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path tree;
    if (const char* dir = std::getenv("TM_BINARY_DIR")) tree = dir;
    else tree = fs::read_symlink("/proc/self/exe", ec).parent_path().parent_path();
    if (!fs::exists(tree / "tarmacade" / "tarmacade", ec)) return {};
    return tree;
}
