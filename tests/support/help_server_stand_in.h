#pragma once
// Points the HTML Help control's class registration at the stand-in control built beside the
// tests, for the length of a test, and reads back the calls the stand-in received.

#include "help_stand_in/html_help_stand_in.h"
#include "support/registry.h"

#include <windows.h>

#include <string>
#include <vector>

// The calls received by the stand-in loaded from module (a path or a file name); none when it is
// not loaded.
std::vector<StandInCall> StandInCalls(const std::string& module);

// Full path of the stand-in control beside the running test program.
std::string StandInModulePath();

// The stand-in's failure for the next calls: a code, 0 for none, or -1 to succeed.
void StandInFails(int code);

// Registers the stand-in as the control's server; the registration is put back as it was, and
// keys the test created removed, when the object goes.
class HelpServerStandIn {
  public:
    HelpServerStandIn();
    HelpServerStandIn(const HelpServerStandIn&) = delete;
    HelpServerStandIn& operator=(const HelpServerStandIn&) = delete;

    // Registers another module as the server, or none.
    void Register(const std::string& module) { server_.SetString(module); }
    void Unregister() { server_.Remove(); }
    std::vector<StandInCall> Calls() const { return StandInCalls(StandInModulePath()); }

  private:
    ScopedRegistryValue server_;
};
