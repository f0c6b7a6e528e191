#include "app/CommandLine.h"

namespace app {

std::string CommandLine::usage() {
    // One line per option, in the order of the command line's synopsis.
    return "Usage: zorvex [OPTION]...\n"
           "Zorvex Video Browser: browse and play the video catalogue.\n"
           "\n"
           "  --headless               run without a window, on a virtual clock (needs "
           "--automation)\n"
           "  --automation=stdio       take JSON-lines requests on standard input, reply on "
           "output\n"
           "  --automation=unix:PATH   take JSON-lines requests on the Unix socket PATH\n"
           "  --config PATH            read the settings from PATH alone\n"
           "  --workdir DIR            keep the bookmarks and the picture files in DIR\n"
           "  --screenshot PATH        save the window as PNG after start-up and exit\n"
           "  --send TEXT              hand TEXT (a link or a file) to the running Zorvex\n"
           "  --version                print the version and exit\n"
           "  --help                   print this help and exit\n"
           "\n"
           "Installed, the program reads ~/.config/zorvex/zorvex.ini over the installed\n"
           "zorvex.ini and works in ~/.local/share/zorvex (XDG_CONFIG_HOME and\n"
           "XDG_DATA_HOME move them). See zorvex(1).\n";
}

CommandLine CommandLine::parse(const std::vector<std::string>& args) {
    CommandLine cl;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string name = a;
        std::optional<std::string> inlineValue;
        if (a.rfind("--", 0) == 0) {
            if (auto eq = a.find('='); eq != std::string::npos) {
                name = a.substr(0, eq);
                inlineValue = a.substr(eq + 1);
            }
        }
        auto value = [&]() -> std::string {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= args.size())
                throw UsageError("option " + name + " needs a value");
            return args[++i];
        };
        auto flag = [&](bool& target) {
            if (inlineValue)
                throw UsageError("option " + name + " takes no value");
            target = true;
        };
        if (name == "--headless")
            flag(cl.headless);
        else if (name == "--version")
            flag(cl.version);
        else if (name == "--help" || name == "-h")
            flag(cl.help);
        else if (name == "--automation") {
            cl.automation = value();
            if (cl.automation != "stdio" &&
                !(cl.automation.rfind("unix:", 0) == 0 && cl.automation.size() > 5))
                throw UsageError("--automation takes stdio or unix:PATH, not '" + cl.automation +
                                 "'");
        } else if (name == "--config")
            cl.config = value();
        else if (name == "--workdir")
            cl.workdir = value();
        else if (name == "--screenshot")
            cl.screenshot = value();
        else if (name == "--send")
            cl.send = value();
        else
            throw UsageError("unknown option '" + a + "'");
    }
    if (cl.send && (cl.headless || !cl.automation.empty() || cl.screenshot))
        throw UsageError("--send hands its text to a running Zorvex; it starts no program of its "
                         "own, so it cannot be used with --headless, --automation or --screenshot");
    if (cl.headless && cl.screenshot)
        throw UsageError("--screenshot needs the window; it cannot be used with --headless");
    return cl;
}

} // namespace app
