// A program for testing the child-process runner the same way on every system: it reports what it
// was given.
//   process_probe args A B ...       each argument on a line of its own
//   process_probe cat                standard input to standard output
//   process_probe env NAME ...       each variable's value on a line, "(unset)" when absent
//   process_probe cwd                the working directory
//   process_probe exit OUT ERR CODE  OUT to standard output, ERR to standard error, exit code CODE
//   process_probe wait               blocks until it is ended from outside
//   process_probe touch MIB          fills MIB mebibytes of memory, then exits
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(0, _O_BINARY);
  _setmode(1, _O_BINARY);
  _setmode(2, _O_BINARY);
#endif
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "args") {
    for (int i = 2; i < argc; ++i) std::cout << argv[i] << '\n';
  } else if (command == "cat") {
    std::cout << std::cin.rdbuf();
  } else if (command == "env") {
    for (int i = 2; i < argc; ++i) {
      const char* value = std::getenv(argv[i]);
      std::cout << (value ? value : "(unset)") << '\n';
    }
  } else if (command == "cwd") {
    std::cout << std::filesystem::current_path().string() << '\n';
  } else if (command == "exit" && argc == 5) {
    std::cout << argv[2];
    std::cerr << argv[3];
    return std::atoi(argv[4]);
  } else if (command == "touch" && argc == 3) {
    std::vector<char> memory(std::strtoull(argv[2], nullptr, 10) << 20);
    for (std::size_t at = 0; at < memory.size(); at += 4096) memory[at] = 1;
    std::cout << static_cast<int>(memory.empty() ? 0 : memory.back());
  } else if (command == "wait") {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  } else {
    std::cerr << "unknown command\n";
    return 2;
  }
  return 0;
}
