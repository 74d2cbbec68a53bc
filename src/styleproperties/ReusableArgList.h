#pragma once

#include "host/ArgList.h"

#include <optional>
#include <utility>

namespace qelmar::sdk::styleproperties {

// One argument list kept from one kernel call to the next, so that a call neither allocates a
// list nor grows it entry by entry again. A call made while the list is in use (a listener
// reacting inside a kernel call) gets a list of its own.
class ReusableArgList {
public:
    // The list for one call; it comes back empty, so that no receiver outlives its call.
    class Lease {
    public:
        explicit Lease(ReusableArgList& owner)
            : m_owner(owner)
            , m_args(owner.take()) {}
        ~Lease() { m_owner.giveBack(std::move(m_args)); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

        toolbox::ArgList& args() noexcept { return m_args; }

    private:
        ReusableArgList& m_owner;
        toolbox::ArgList m_args;
    };

    ReusableArgList() = default;
    ReusableArgList(const ReusableArgList&) = delete;
    ReusableArgList& operator=(const ReusableArgList&) = delete;

private:
    toolbox::ArgList take() {
        if (!m_spare)
            return toolbox::ArgList();
        toolbox::ArgList args = std::move(*m_spare);
        m_spare.reset();
        return args;
    }

    void giveBack(toolbox::ArgList args) noexcept {
        args.clear();
        m_spare = std::move(args);
    }

    std::optional<toolbox::ArgList> m_spare;
};

} // namespace qelmar::sdk::styleproperties
