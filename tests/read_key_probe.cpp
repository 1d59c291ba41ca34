// Calls read_key() once with nothing typed yet, so that it has to wait, and
// prints the codes of the key it read: the keyboard service on its own.

#include <cstdio>

#include "console/keyboard.h"

int main()
{
    const int first = read_key();
    std::printf("%d", first);
    while (key_available())
        std::printf(" %d", read_key());
    std::printf("\n");
    return 0;
}
