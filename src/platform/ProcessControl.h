#pragma once

// Ending the program.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;
    // Closes every window without asking and ends the program.
    virtual void endProgram() = 0;
};
