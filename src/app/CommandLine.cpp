// CCommandLine: long options, each with at most one value ("--opt VALUE" or "--opt=VALUE").
#include "app/CommandLine.h"

#include "core/Version.h"

namespace {

bool takesValue(const std::string& name)
{
    return name == "--data-dir" || name == "--pilot";
}

} // namespace

bool CCommandLine::parse(const std::vector<std::string>& arguments)
{
    parsed = ProgramOptions{};
    problem.clear();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool hasValue = false;
        if (const std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        }
        if (takesValue(name) && !hasValue) {
            if (i + 1 >= arguments.size()) {
                problem = "option " + name + " needs a value";
                return false;
            }
            value = arguments[++i];
            hasValue = true;
        } else if (!takesValue(name) && hasValue) {
            problem = "option " + name + " takes no value";
            return false;
        }
        if (name.rfind("-", 0) != 0 && parsed.command.empty() && !hasValue) {
            if (name != "replay" && name != "landing") {
                problem = "unknown command " + name;
                return false;
            }
            if (i + 1 >= arguments.size()) {
                problem = "command " + name + " needs a recording file";
                return false;
            }
            parsed.command = name;
            parsed.commandFile = arguments[++i];
        } else if (name == "--version")
            parsed.showVersion = true;
        else if (name == "--help" || name == "-h")
            parsed.showHelp = true;
        else if (name == "--headless")
            parsed.headless = true;
        else if (name == "--data-dir" || name == "--pilot") {
            if (value.empty()) {
                problem = "option " + name + " needs a value";
                return false;
            }
            (name == "--data-dir" ? parsed.dataFolder : parsed.pilotFile) = value;
        } else {
            problem = "unknown option " + name;
            return false;
        }
    }
    return true;
}

std::string CCommandLine::helpText(const std::string& programName)
{
    return "Usage: " + programName +
           " [OPTION]...\n"
           "   or: " +
           programName +
           " replay|landing FILE\n"
           "The Quenvale client " +
           std::string(kClientVersion) +
           ": watches a booked flight in the simulator and uploads its report.\n"
           "\n"
           "  --data-dir DIR  keep the settings (quenvale.ini), the report store and the\n"
           "                  logs directly in DIR (created when missing) instead of the\n"
           "                  per-user data folder; one client runs per folder\n"
           "  --headless      run without a window; prints every page change, message box\n"
           "                  and warning or error line (one that repeats once, with its\n"
           "                  count at the end); without --pilot it runs until\n"
           "                  interrupted and logs in by itself when the settings say so\n"
           "  --pilot FILE    carry out the pilot script FILE without a window (implies\n"
           "                  --headless), one command a line:\n"
           "                    wait page N [SECONDS]  until page N shows (default 60 s)\n"
           "                    expect page N          page N must be showing now\n"
           "                    type ID TEXT           type TEXT into edit field ID (\"TEXT\" in double\n"
           "                                           quotes keeps leading and trailing blanks)\n"
           "                    check ID 0|1           clear or tick check box ID\n"
           "                    select ID TEXT         choose the item TEXT of combo box ID\n"
           "                    press ID               click button ID\n"
           "                    answer ok|cancel [SECONDS]\n"
           "                                           answer for the next OK/Cancel box, which\n"
           "                                           must come within SECONDS (default 60)\n"
           "                    sleep SECONDS          let the client run for a while\n"
           "                  blank lines and lines starting with # are ignored; the pilot\n"
           "                  reaches only what is shown and enabled in a shown window,\n"
           "                  and a script fails (status 1) where a pilot would be stuck\n"
           "  replay FILE     run the flight recording FILE through the client's flight\n"
           "                  checks and report again and print the report it arrives at\n"
           "  landing FILE    print the landing analysis of the flight recording FILE and\n"
           "                  write its plot (.landing.svg) and track (.gpx, .kml) beside it\n"
           "                  (recordings are in the data folder's \"recordings\" folder)\n"
           "  --version       print the client's version and exit\n"
           "  --help          print this help and exit\n"
           "\n"
           "Exit status: 0 when the client or its pilot script ran to the end; 1 when a\n"
           "script's wait timed out or an expectation failed; 2 for a bad option or pilot\n"
           "script; 3 when a client already runs on the data folder; 4 when the client\n"
           "could not start; 5 when a recording cannot be read; 6 when a replayed report\n"
           "differs from the one the flight arrived at; 128 + the signal when a second\n"
           "SIGINT or SIGTERM, or the first one after a grace of 10 s, ended a client that\n"
           "did not stop by itself.\n";
}
