/* A program that links the installed engine: prints the engine's version and
 * the candidate list of the file named on its command line. */
#include <stdio.h>

#include <zarvo32.h>

int main(int argc, char** argv) {
    ZarvoRecord record = {{0}};
    if (argc != 2) return 2;
    ZarvoGetInfo(argv[1], 256, &record, ZARVO_QUIET);
    printf("%d %s\n", (int)ZarvoGetVersion(), record.extension);
    return 0;
}
