// Opens the table file it is given and ends at once, as a program closed right after opening
// its files: what such a process leaves in the cache folder.
#include "TableFile.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    try {
        tablefile::ReadShared(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
