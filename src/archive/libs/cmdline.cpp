#include "archive/libs/cmdline.h"

#include "platform/paths.h"

namespace g3 {

std::optional<std::vector<CommandArg>> splitCommandLine(std::string_view line) {
    std::vector<CommandArg> args;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        CommandArg arg;
        while (i < n && line[i] != ' ' && line[i] != '"')
            arg.bare += line[i++];
        if (i < n && line[i] == '"') {
            std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            if (close + 1 < n && line[close + 1] != ' ') return std::nullopt;
            arg.quoted.assign(line.substr(i + 1, close - i - 1));
            arg.hasQuotes = true;
            i = close + 1;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

namespace {

// A path argument: quoted whole, or bare without quotes; never empty.
std::optional<std::string> pathOf(const CommandArg& a) {
    if (a.hasQuotes && !a.bare.empty()) return std::nullopt;
    std::string p = a.text();
    if (p.empty()) return std::nullopt;
    return p;
}

std::optional<std::string> folderOf(const CommandArg& a) {
    auto p = pathOf(a);
    if (!p) return std::nullopt;
    std::string folder = currentFolderForm(*p);
    if (folder.empty()) return std::nullopt;
    return folder;
}

bool isVerb(const CommandArg& a, std::string_view verb) {
    return !a.hasQuotes && a.bare == verb;
}

// verb "archive" "destination/"
std::optional<ArchiverCommand> extractWithFolder(const std::vector<CommandArg>& args,
                                                 std::string_view verb) {
    if (args.size() != 3 || !isVerb(args[0], verb)) return std::nullopt;
    auto archive = pathOf(args[1]);
    auto dest = folderOf(args[2]);
    if (!archive || !dest) return std::nullopt;
    return ArchiverCommand{ArchiverOp::Extract, *archive, *dest, {}};
}

std::optional<ArchiverCommand> sevenZip(const std::vector<CommandArg>& args) {
    if (args.size() < 2) return std::nullopt;
    auto archive = pathOf(args[1]);
    if (!archive) return std::nullopt;
    if (isVerb(args[0], "x")) {
        if (args.size() != 3 || args[2].bare.rfind("-o", 0) != 0) return std::nullopt;
        CommandArg out = args[2];
        out.bare.erase(0, 2);
        auto dest = folderOf(out);
        if (!dest) return std::nullopt;
        return ArchiverCommand{ArchiverOp::Extract, *archive, *dest, {}};
    }
    if (isVerb(args[0], "a")) {
        ArchiverCommand cmd{ArchiverOp::Create, *archive, {}, {}};
        for (std::size_t i = 2; i < args.size(); ++i) {
            auto f = pathOf(args[i]);
            if (!f || (!args[i].hasQuotes && f->front() == '-')) return std::nullopt;
            cmd.files.push_back(*f);
        }
        if (cmd.files.empty()) return std::nullopt;
        return cmd;
    }
    return std::nullopt;
}

} // namespace

std::optional<ArchiverCommand> parseCommandLine(std::string_view line, CommandStyle style) {
    auto args = splitCommandLine(line);
    if (!args) return std::nullopt;
    switch (style) {
    case CommandStyle::Lha:
        return extractWithFolder(*args, "x");
    case CommandStyle::DashX:
        return extractWithFolder(*args, "-x");
    case CommandStyle::SevenZip:
        return sevenZip(*args);
    }
    return std::nullopt;
}

} // namespace g3
