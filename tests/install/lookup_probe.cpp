// Prints where the game's own lookup finds each stock file, for the install tests: copied
// into an installed tree's bin folder and run from an empty directory, it must find the
// installed data beside it.
#include <iostream>

#include "storage/data_files.h"
#include "storage/help.h"

int main() {
  std::cout << "installedDataDir=" << punktivo::installedDataDir().string() << '\n';
  for (int level = 0; level < 4; ++level) {
    const char* name = punktivo::collectionFileName(level);
    std::cout << name << '=' << punktivo::findDataFile(name).string() << '\n';
  }
  std::cout << punktivo::kHelpFileName << '='
            << punktivo::findDataFile(punktivo::kHelpFileName).string() << '\n';
  return 0;
}
