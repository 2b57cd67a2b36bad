// The /proc files of another user's process, whose name and arguments that user chooses:
// stat, status and cmdline.
#include "FuzzCheck.h"
#include "foundation/Text.h"
#include "platform/linux/proc/ProcFiles.h"

using namespace tidemark;
using namespace tidemark::linux_proc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    (void)parseStat(bytes);
    (void)keyedNumber(bytes, "Uid");
    (void)keyedNumber(bytes, "MemTotal");

    // The first half as comm, the rest as cmdline; as environ too.
    const auto comm = bytes.substr(0, size / 2);
    const auto commandLine = bytes.substr(size / 2);
    const auto name = processName(comm, isCutName(comm) ? commandLine : "", 64);
    FUZZ_CHECK(name.size() <= 64 && text::repairUtf8(name) == name);
    const auto arguments = argumentLine(commandLine, comm, 100);
    FUZZ_CHECK(arguments.size() <= 100 && text::repairUtf8(arguments) == arguments);
    FUZZ_CHECK(arguments.find('\0') == std::string::npos);
    return 0;
}
