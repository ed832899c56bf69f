// The floor of the program's start: an empty main() linked against the
// libraries the program loads at start (see CMakeLists.txt), which reports
// "cued" at once, as the program does when VELMORASTINE_CUE_MARK is set.
#include <unistd.h>

int main()
{
    static const char marker[] = "velmorastine: cued\n";
    return write(STDERR_FILENO, marker, sizeof marker - 1) < 0 ? 1 : 0;
}
