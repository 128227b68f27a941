// The single-instance seam: one running client per data folder. The first
// process claims a name and holds it for its life; a second one is refused.
#pragma once

#include <memory>
#include <string>

class SingleInstance {
public:
    enum class Claim {
        First,      // this process holds the name now
        Refused,    // another running process holds it
        Unavailable // the platform could not tell (no lock possible); the caller decides
    };
    virtual ~SingleInstance() = default;
    // Claims the name; a held claim lasts until the object is destroyed.
    virtual Claim claim() = 0;
    // Why the last claim was Unavailable, for the log.
    virtual std::string lastError() const = 0;
};

// The platform's own implementation (PosixSingleInstance.cpp: a lock on the
// file `name` + ".lock" in `folder`; the Windows one: a named event).
std::unique_ptr<SingleInstance> createPlatformSingleInstance(const std::string& folder, const std::string& name);
