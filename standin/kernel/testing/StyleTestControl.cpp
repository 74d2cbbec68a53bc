#include "kernel/testing/StyleTestControl.h"

#include "kernel/StateChange.h"

namespace qelmar::standin::testing {

namespace {

StyleStore& store() {
    return StyleStore::instance();
}

} // namespace

void StyleTestControl::define(const StylePath& path, const StyleDefinition& definition) {
    store().define(path, definition);
}

bool StyleTestControl::setFromElsewhere(const StylePath& path, const StyleVariant& value,
                                        StyleInstance instance) {
    return store().assign(path, value, instance);
}

std::optional<StyleVariant> StyleTestControl::value(const StylePath& path, StyleInstance instance) const {
    return store().value(path, instance);
}

bool StyleTestControl::boolValue(const StylePath& path, StyleInstance instance) const {
    return store().boolValue(path, instance);
}

long StyleTestControl::integerValue(const StylePath& path, StyleInstance instance) const {
    return store().integerValue(path, instance);
}

double StyleTestControl::realValue(const StylePath& path, StyleInstance instance) const {
    return store().realValue(path, instance);
}

std::string StyleTestControl::textValue(const StylePath& path, StyleInstance instance) const {
    return store().textValue(path, instance);
}

void StyleTestControl::refuseWrites(const StylePath& path, std::optional<std::string> message) {
    store().refuseWrites(path, std::move(message));
}

void StyleTestControl::acceptWrites(const StylePath& path) {
    store().acceptWrites(path);
}

void StyleTestControl::answerAcceptedMayDiffer(const StylePath& path, bool answers) {
    store().setAnswersAcceptedMayDiffer(path, answers);
}

long StyleTestControl::writeCount(const StylePath& path) const {
    return store().writeCount(path);
}

void StyleTestControl::announceShutdown() {
    announceStateChange(StateChange_Shutdown);
}

void StyleTestControl::announceStateChange(StateChange_e kind) {
    notifyStateChange(kind);
}

} // namespace qelmar::standin::testing
