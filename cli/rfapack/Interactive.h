#pragma once

namespace marlix {

class Console;

// The question-and-answer form a batch file drives through standard input: source folder,
// base name, compress (Y/N), output archive, pack another (Y/N), then "exit". Answers end in LF
// or CR LF. Returns the exit status.
int runInteractive(Console &console);

} // namespace marlix
