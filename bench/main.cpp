#include "BenchCommand.h"

#include "Platform/OpenFileLimit.h"

#include <QCoreApplication>

#include <cstdio>
#include <map>
#include <string>

namespace {
std::map<std::string, BenchCommand>& commands() {
    static std::map<std::string, BenchCommand> registered;
    return registered;
}
}  // namespace

bool registerBenchCommand(const char* name, BenchCommand command) {
    commands()[name] = command;
    return true;
}

int main(int argc, char* argv[]) {
    OpenFileLimit::raiseToHard();  // as the app does
    QCoreApplication app(argc, argv);
    if (argc < 2 || !commands().count(argv[1])) {
        std::fprintf(stderr, "usage: quarnell-bench SUBCOMMAND ARGS...\nsubcommands:");
        for (const auto& [name, command] : commands()) std::fprintf(stderr, " %s", name.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    return commands()[argv[1]](std::vector<std::string>(argv + 2, argv + argc));
}
