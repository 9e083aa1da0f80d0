// Runs the built punktivo-tool in a shell and reads what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace punktivo::testing {

struct ToolOutput {
  int exitCode = -1;
  std::string out, err;
  std::map<std::string, std::string> keys;  // the key=value lines of stdout

  // A per-record key of `validate`, e.g. record(2, "solutions").
  std::string record(int n, const std::string& key) const {
    const auto it = keys.find("record" + std::to_string(n) + "." + key);
    return it == keys.end() ? "<missing>" : it->second;
  }
};

// `shellPrefix` goes before the tool's path (e.g. "cd DIR && env X=Y "); stdout and stderr
// are captured in files inside `scratch`.
inline ToolOutput runTool(const std::string& shellPrefix, const std::string& args,
                          const std::filesystem::path& scratch) {
  const auto out = scratch / "stdout.txt";
  const auto err = scratch / "stderr.txt";
  const std::string command = shellPrefix + "'" + PUNKTIVO_TOOL + "' " + args + " >'" + out.string() +
                              "' 2>'" + err.string() + "'";
  const int status = std::system(command.c_str());
  ToolOutput result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto outBytes = readBytes(out);
  const auto errBytes = readBytes(err);
  result.out.assign(outBytes.begin(), outBytes.end());
  result.err.assign(errBytes.begin(), errBytes.end());
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) {
    // A key holds no blank; the board picture of `show` has lines with "=" in them too.
    const auto eq = line.find('=');
    if (eq != std::string::npos && line.find(' ') > eq) result.keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return result;
}

}  // namespace punktivo::testing
