#pragma once

#include <string>

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

// One entry of a fixed table of choices: what the user reads and what the property holds.
template <typename T> struct ModelValueInfo {
    std::string label;
    T value;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
