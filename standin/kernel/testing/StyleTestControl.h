#pragma once

#include "host/KernelStateChange.h"
#include "kernel/StyleStore.h"

#include <optional>
#include <string>

namespace qelmar::standin::testing {

// Drives the kernel's style values from a test, next to a KernelTestControl (which resets
// them). Values a test defines here are gone after the next reset.
class StyleTestControl {
public:
    void define(const StylePath& path, const StyleDefinition& definition);

    // Changes the value as another part of the application would: the kernel announces the
    // change to its state-change observers. False when the value is unknown or of another type.
    bool setFromElsewhere(const StylePath& path, const StyleVariant& value, StyleInstance instance = {});

    std::optional<StyleVariant> value(const StylePath& path, StyleInstance instance = {}) const;
    bool boolValue(const StylePath& path, StyleInstance instance = {}) const;
    long integerValue(const StylePath& path, StyleInstance instance = {}) const;
    double realValue(const StylePath& path, StyleInstance instance = {}) const;
    std::string textValue(const StylePath& path, StyleInstance instance = {}) const;

    // Every write is refused with this text, or with no text at all (nullopt), until accepted.
    void refuseWrites(const StylePath& path, std::optional<std::string> message);
    void acceptWrites(const StylePath& path);
    // Writes are accepted but answered SetValue_AcceptedMayDiffer.
    void answerAcceptedMayDiffer(const StylePath& path, bool answers = true);
    long writeCount(const StylePath& path) const;

    // The kernel drops all of its style state (a state change of kind StateChange_Shutdown).
    void announceShutdown();
    void announceStateChange(StateChange_e kind);
};

} // namespace qelmar::standin::testing
