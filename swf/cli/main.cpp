#include <cstdio>

int main()
{
    std::fputs("zorvaplay-swf: not ready yet\n", stderr);
    return 1;
}
