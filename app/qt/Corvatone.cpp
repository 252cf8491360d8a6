// Corvatone: a small sound recorder in one skinned window. It takes no command-line options and
// stores nothing between runs.
#include "MainForm.h"

int main(int argc, char** argv)
{
    return RunCorvatone(argc, argv);
}
