#include "platform/sdl/SpawnOpener.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

extern char** environ;

void TSpawnOpener::Open(const std::string& target)
{
    LastPid = 0;
    if (target.empty() || target.find('\0') != std::string::npos)
        return;
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return;
    // The opener's chatter ("no method available...") is not the game's.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    std::vector<char> program(Program.begin(), Program.end());
    program.push_back('\0');
    std::vector<char> argument(target.begin(), target.end());
    argument.push_back('\0');
    char* argv[] = {program.data(), argument.data(), nullptr};

    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, program.data(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0 || pid <= 0)
        return;
    LastPid = pid;
    // Nobody waits for the browser; a small watcher collects the child's exit
    // so it does not linger as a zombie.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}
