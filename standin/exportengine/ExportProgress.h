#pragma once

// Internal to the stand-in kernel: how far the still export under way has come, told to the
// host's listener, which may stop it. The drawing and the encoders report shares of their own
// work; a stage maps those onto its part of the whole, so that nobody needs to know what runs
// around it. Without a listener a report costs a comparison.

#include <functional>
#include <stdexcept>

namespace qelmar::standin {

// Thrown by a report the listener answered with "stop"; the export unwinds without writing.
class ExportCancelled : public std::runtime_error {
public:
    ExportCancelled();
};

class ExportProgress {
public:
    // Gets the share done (0 to 1, never decreasing); false stops the export.
    using Listener = std::function<bool(double share)>;

    // Reports go to the listener while this lives.
    class Listening {
    public:
        explicit Listening(Listener listener);
        ~Listening();
        Listening(const Listening&) = delete;
        Listening& operator=(const Listening&) = delete;

    private:
        Listener m_previous;
        double m_previousShare;
    };

    // Shares reported while this lives are shares of [from, to] of the enclosing stage.
    class Stage {
    public:
        Stage(double from, double to);
        ~Stage();
        Stage(const Stage&) = delete;
        Stage& operator=(const Stage&) = delete;

    private:
        double m_outerFrom;
        double m_outerTo;
    };

    static bool isListened();
    // Tells the listener `share` of the current stage; throws ExportCancelled when it says stop.
    static void report(double share);
};

} // namespace qelmar::standin
