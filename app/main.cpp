#include "GameMain.h"

int main(int argc, char* argv[]) {
    return vornak::RunGame(argc, argv);
}
