#pragma once
// Points the HTML Help control's class registration at the stand-in control built beside the
// tests, for the length of a test, and reads back the calls the stand-in received.

#include "help_stand_in/html_help_stand_in.h"

#include <windows.h>

#include <string>
#include <vector>

// The calls received by the stand-in loaded from module (a path or a file name); none when it is
// not loaded.
std::vector<StandInCall> StandInCalls(const std::string& module);

// Full path of the stand-in control beside the running test program.
std::string StandInModulePath();

class HelpServerStandIn {
  public:
    HelpServerStandIn();
    // Puts the registration back as it was, removing keys the test created.
    ~HelpServerStandIn();
    HelpServerStandIn(const HelpServerStandIn&) = delete;
    HelpServerStandIn& operator=(const HelpServerStandIn&) = delete;

    std::vector<StandInCall> Calls() const { return StandInCalls(StandInModulePath()); }

  private:
    bool classExisted_ = false;
    bool existed_ = false;
    bool hadValue_ = false;
    DWORD type_ = REG_SZ;
    std::string old_;
};
