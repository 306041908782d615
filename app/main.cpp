// tr2: the game program.
#include "app/application.h"

int main(int argc, char** argv) { return appMain(argc, argv); }
