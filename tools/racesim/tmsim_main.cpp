// tmsim: runs a race of computer drivers without a window and prints how it went.
#include "race_sim.h"

#include <cstdio>

int main(int argc, char** argv)
{
    std::string out, err;
    int status = tmsimMain(argc, argv, out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}
