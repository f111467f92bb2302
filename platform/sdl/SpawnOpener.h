// The desktop's "open" action: hands a web address or a file to xdg-open.
#pragma once
#include <string>

#include "platform/Platform.h"

class TSpawnOpener : public IOpener {
public:
    // program: found on PATH; tests give a script of their own.
    explicit TSpawnOpener(std::string program = "xdg-open") : Program(std::move(program)) {}
    // Starts the program with the target as its one argument (no shell ever
    // sees it) and returns at once; the child is reaped when it ends. Quiet
    // when the program is missing or fails.
    void Open(const std::string& target) override;
    // The child's id of the last successful start (0: none), for tests.
    int LastChild() const { return LastPid; }

private:
    std::string Program;
    int LastPid = 0;
};
