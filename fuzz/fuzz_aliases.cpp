// Feeds arbitrary bytes to the variable aliases file parser, mostly behind a valid header so
// that the line reader is reached. The parser reports problems in message boxes, never by
// throwing; a crash, a leak or a sanitizer report is a fault.
#include "postload/VariableAliasesFileParser.h"

#include "host/KernelStrings.h"
#include "kernel/KernelState.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// One file per process, written and removed around every input: libFuzzer ends the process
// without running exit handlers, so nothing may be left for them to clean.
const std::string& scratchFile() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder && *folder ? folder : "/tmp") + "/fuzz_aliases_" + std::to_string(getpid());
    }();
    return path;
}

void writeScratch(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(scratchFile().c_str(), "wb");
    if (!file)
        std::abort();
    // An odd first byte sends the input raw, header included, to reach the header checks too.
    if (size == 0 || (data[0] & 1) == 0)
        std::fputs("#!QELMAR VA 1\n", file);
    if (size > 0) {
        ++data;
        --size;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& kernel = qelmar::standin::KernelState::instance();
    kernel.setMessagePresenter([](const std::string&, int) { return false; });
    writeScratch(data, size);
    {
        qelmar::sdk::ui::postload::VariableAliasesFileParser parser(scratchFile());
        for (StringList_s* group : parser.aliasesList()) {
            if (QelUtilStringListGetCount(group) < 1)
                std::abort();
        }
    }
    std::remove(scratchFile().c_str());
    kernel.clearMessages();
    return 0;
}
