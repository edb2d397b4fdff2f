// A packer stand-in: reads the six answer lines from standard input, appends them and its
// working folder to the log named by MARLIX_PACKER_LOG, and writes the archive it was told to.
// A lock file beside the log proves that two runs never overlap.
// MARLIX_PACKER_SAY is printed on standard output and, with "!" in front, on standard error;
// MARLIX_PACKER_EXIT is its exit status; MARLIX_PACKER_HANG makes it never end ("ignore":
// not even when asked to, so only a kill ends it).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

int main() {
    const char *log = std::getenv("MARLIX_PACKER_LOG");
    if (!log)
        return 2;
    const std::string lock = std::string(log) + ".running";
    int fd = open(lock.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    std::ofstream out(log, std::ios::app | std::ios::binary);
    if (fd < 0)
        out << "OVERLAP\n";
    char cwd[4096] = {};
    if (!getcwd(cwd, sizeof cwd))
        cwd[0] = '?';
    out << "cwd=" << cwd << "\n";
    std::string lines[6], line;
    for (int i = 0; i < 6 && std::getline(std::cin, line); ++i) {
        lines[i] = line;
        out << "line" << i + 1 << "=" << line << "\n";
    }
    // The answers arrive with CR LF line ends; the names themselves end before the CR.
    for (std::string &answer : lines)
        if (!answer.empty() && answer.back() == '\r')
            answer.pop_back();
    std::ofstream archive(lines[3], std::ios::binary);
    archive << "archive of " << lines[0];
    archive.close();
    if (const char *say = std::getenv("MARLIX_PACKER_SAY")) {
        std::cout << say << std::endl;
        std::cerr << "!" << say << std::endl;
    }
    usleep(100 * 1000);
    if (fd >= 0) {
        close(fd);
        unlink(lock.c_str());
    }
    if (const char *hang = std::getenv("MARLIX_PACKER_HANG")) {
        if (std::string(hang) == "ignore")
            std::signal(SIGTERM, SIG_IGN);
        out << "hanging\n";
        out.flush();
        for (;;)
            pause();
    }
    const char *status = std::getenv("MARLIX_PACKER_EXIT");
    return status ? std::atoi(status) : 0;
}
