#pragma once

#include "host/StyleValue.h"
#include "propertyframework/RawArray.h"

namespace qelmar::sdk::styleproperties {

// The identifier path of one get or set: the style value's identifiers, those of any extra
// names, and the terminating -1. Paths are short, so the fixed buffer almost always suffices
// and building one does not allocate.
class StyleIdentifierPath {
public:
    explicit StyleIdentifierPath(const toolbox::StyleValue& styleValue,
                                 const toolbox::ExtraStyleNames& extraNames = {}) {
        for (long identifier : styleValue.getIdentifiers())
            m_path.push_back(identifier);
        long extra[7];
        const std::size_t extraCount =
            toolbox::StyleValue::initMacroIDsfromStyleValueNames(extraNames, extra);
        for (std::size_t index = 0; index < extraCount; ++index)
            m_path.push_back(extra[index]);
        m_path.push_back(terminator);
    }

    static constexpr long terminator = -1;

    StyleIdentifierPath(const StyleIdentifierPath&) = delete;
    StyleIdentifierPath& operator=(const StyleIdentifierPath&) = delete;

    const long* data() const noexcept { return m_data; }
    // Without the terminator.
    std::size_t size() const noexcept { return m_path.size() - 1; }

private:
    long m_buffer[8];
    long* m_data = nullptr;
    RawArray<long> m_path{&m_data, m_buffer};
};

} // namespace qelmar::sdk::styleproperties
