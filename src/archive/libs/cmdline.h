// The command lines the archiver modules understand, split and read into one command.
// Plain C++; no state.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace g3 {

// One argument of a command line: an unquoted part, then at most one quoted run
// ("-o" and "/tmp/x" for -o"/tmp/x"; "" and "a b.zip" for "a b.zip"; "x" alone for x).
struct CommandArg {
    std::string bare;
    std::string quoted;
    bool hasQuotes = false;
    // The argument's text without its quotes.
    std::string text() const { return bare + quoted; }
};

// Splits a line at blanks (one or more). A quoted run is taken whole, blanks included,
// and must close and be followed by a blank or the end of the line: nullopt for an
// unclosed quote or for anything glued to a closing quote (a name with a quote in it
// cannot be told from two arguments, so such a line is refused rather than guessed at).
std::optional<std::vector<CommandArg>> splitCommandLine(std::string_view line);

// The shapes of command line the modules are given.
enum class CommandStyle {
    Lha,      // x "archive" "destination/"
    DashX,    // -x "archive" "destination/"
    SevenZip, // x "archive" -o"destination"   or   a "archive" "file" "file" ...
};

enum class ArchiverOp { Extract, Create };

struct ArchiverCommand {
    ArchiverOp op = ArchiverOp::Extract;
    std::string archive;            // as written: absolute, or relative to the process folder
    std::string destination;        // Extract: the folder, without trailing "/" (root "/")
    std::vector<std::string> files; // Create: as written, in order
};

// Reads a line of the given style. nullopt for anything else: another verb, a missing or
// extra argument, an empty path, a switch other than -o, -o given twice.
std::optional<ArchiverCommand> parseCommandLine(std::string_view line, CommandStyle style);

} // namespace g3
