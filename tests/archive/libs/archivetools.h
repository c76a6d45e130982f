// Shared by the archive modules' tests: the other programs that make and extract archives,
// the trees they leave, the corpus, and a call of a module's entry point from DLL/.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace g3test {

// True when the program is on PATH.
bool haveTool(const std::string& name);
// Runs a shell command (its output discarded); true when it exits 0.
bool shell(const std::string& command);
std::string shellQuoted(const std::string& s);

// Every regular file below root: relative path -> contents.
std::map<std::string, std::string> regularFiles(const std::string& root);
// Every entry below root (links not followed), relative paths.
std::vector<std::string> allEntries(const std::string& root);

// The corpus's archives folder ("" when the corpus is not there) and the files of one of
// its folders, sorted.
std::string corpusArchives();
std::vector<std::string> corpusFiles(const std::string& sub);

struct ModuleCall {
    int result = -1;
    std::string output;
};
// Loads DLL/<library> beside the test program, calls its entry point with the line and a
// 65,000-byte buffer, unloads it.
ModuleCall callArchiver(const std::string& library, const char* entry, const std::string& line,
                        void* owner = nullptr);

} // namespace g3test
