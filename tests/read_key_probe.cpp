// Calls read_key() once with nothing typed yet, so that it has to wait, and
// prints the codes of the key it read: the keyboard service on its own. With
// the argument "wait", wait_for_key() does the waiting first.

#include <cstdio>
#include <cstring>

#include "console/keyboard.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "wait") == 0)
        wait_for_key();
    const int first = read_key();
    std::printf("%d", first);
    while (key_available())
        std::printf(" %d", read_key());
    std::printf("\n");
    return 0;
}
