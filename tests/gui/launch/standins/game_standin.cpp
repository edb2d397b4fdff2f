// A game stand-in: writes its arguments (one a line) and its working folder to the file named
// by MARLIX_GAME_LOG, and what it read from its standard input to MARLIX_GAME_INPUT_LOG.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <unistd.h>

int main(int argc, char **argv) {
    const char *log = std::getenv("MARLIX_GAME_LOG");
    if (!log)
        return 2;
    std::ofstream out(log, std::ios::binary);
    char cwd[4096] = {};
    if (!getcwd(cwd, sizeof cwd))
        cwd[0] = '?';
    out << "cwd=" << cwd << "\n";
    out << "argc=" << argc - 1 << "\n";
    for (int i = 1; i < argc; ++i)
        out << "arg=" << argv[i] << "\n";
    if (const char *inputLog = std::getenv("MARLIX_GAME_INPUT_LOG")) {
        const std::string input{std::istreambuf_iterator<char>(std::cin), {}};
        std::ofstream(inputLog, std::ios::binary) << "stdin=" << input;
    }
    return 0;
}
