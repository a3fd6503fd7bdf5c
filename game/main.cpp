// The program: nothing but the entry point.
#include "shell/startup.h"

int main(int argc, char** argv)
{
    return runGame(argc, argv);
}
