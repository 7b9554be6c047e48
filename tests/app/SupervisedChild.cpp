// Stands in for the supervised program: each run adds a line to the log file named first and
// ends with the next exit code of the list that follows (0 once the list is used up).
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  int runs = 0;
  {
    std::ifstream log(argv[1]);
    for (std::string line; std::getline(log, line);) ++runs;
  }
  std::ofstream(argv[1], std::ios::app) << "run\n";
  return 2 + runs < argc ? std::stoi(argv[2 + runs]) : 0;
}
