// XvfbServer: -displayfd makes the server choose a free display and write its
// number to a pipe once it accepts connections.
#include "XvfbServer.h"

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    pid = fork();
    if (pid == 0) {
        dup2(fds[1], 3);
        const char* argv[] = {"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", nullptr};
        execvp("Xvfb", const_cast<char**>(argv));
        _exit(127);
    }
    close(fds[1]);
    pollfd ready{fds[0], POLLIN, 0};
    char buffer[16] = {};
    if (pid > 0 && poll(&ready, 1, 10000) == 1 && read(fds[0], buffer, sizeof buffer - 1) > 0) {
        // Built apart and swapped in: GCC 12 at -O3 takes an assignment
        // of a literal here for an overflow.
        std::string shown(1, ':');
        shown += std::to_string(std::atoi(buffer));
        display.swap(shown);
        setenv("DISPLAY", display.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
    }
    // Kept open: the server may still be writing the line's end.
    reader = fds[0];
}

XvfbServer::~XvfbServer()
{
    if (reader >= 0)
        close(reader);
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}
