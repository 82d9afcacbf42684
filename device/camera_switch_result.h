// What became of a request to switch the camera on or off, and, when it did not switch, why: the
// host tells the user the reason in a balloon.
#pragma once

class CameraSwitchResult {
public:
    enum Outcome {
        Switched,
        NoCamera,            // no supported camera took the request
        NeedsAdministrator,  // the system refused the change to a user without the rights
        CameraInUse,         // the camera kept running: a program holds it
        NeedsRestart,        // the system took the change and finishes it at the next restart
    };

    constexpr CameraSwitchResult(Outcome outcome) : m_outcome(outcome) {}

    constexpr Outcome outcome() const { return m_outcome; }
    constexpr explicit operator bool() const { return m_outcome == Switched; }
    // The change is the system's to finish: the choice is the user's from now on.
    constexpr bool Accepted() const { return m_outcome == Switched || m_outcome == NeedsRestart; }
    constexpr bool operator==(const CameraSwitchResult&) const = default;

private:
    Outcome m_outcome;
};
