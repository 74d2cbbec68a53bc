#pragma once

#include <memory>
#include <string>
#include <vector>

struct StringList_s;

namespace qelmar::sdk::ui::postload {

// How each variable name came to be in the to-load list. A name written in another letter case
// shares the status of the name, unless both spellings have statuses of their own.
class VariablesInformationRepository {
public:
    enum VariableStatus_e : unsigned char {
        NotCombined = 0,  // of the data set; no incoming file provides it
        AutoCombined = 1, // of the data set and provided by an incoming file
        Combined = 2,     // attached through aliases or Combine
        New = 3,          // a variable added from an incoming file
        NoStatus = 255
    };

    VariablesInformationRepository();
    virtual ~VariablesInformationRepository();
    VariablesInformationRepository(const VariablesInformationRepository&) = delete;
    VariablesInformationRepository& operator=(const VariablesInformationRepository&) = delete;

    // Starts the statuses of one load afresh from the data set's names and the incoming ones.
    void init(StringList_s* existing, const std::vector<StringList_s*>& incoming);
    // The same with what existingOffsetsOf gives for each incoming file, already computed.
    void init(StringList_s* existing, const std::vector<StringList_s*>& incoming,
              const std::vector<std::vector<int>>& existingOffsets);

    VariableStatus_e getVariableStatus(const std::string& name) const;
    // Names of the data set's variables must stay in the to-load list.
    bool isRemovable(const std::string& name) const;
    void setCombined(const std::string& name);
    void setNew(const std::string& name);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::postload
