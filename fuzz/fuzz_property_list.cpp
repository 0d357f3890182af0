// agentPropertyList and xmlCanHold on any values: xmlCanHold takes exactly
// the UTF-8 texts of XML 1.0 characters, and when it takes every value, a
// real property-list reader and a conforming XML parser (which reads a raw
// carriage return as a line feed) each get every value back unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "agent/AgentFiles.h"
#include "fakes/LaunchdJob.h"
#include "fakes/XmlLaunchdJob.h"

using namespace pelko;
using fuzz::quoted;

namespace {

// The Char production of XML 1.0, checked on the decoded text.
bool onlyXmlCharacters(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = fuzz::wellFormedLength(text, i);
        if (length == 0) return false;
        const char32_t c = fuzz::scalarAt(text, i, length);
        const bool xmlChar = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                             (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        if (!xmlChar) return false;
        i += length;
    }
    return true;
}

}  // namespace

// Input: the helper's path, its script's path, the pairing code, the API base
// and the log folder, one after another.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string executable = provider.ConsumeRandomLengthString();
    const std::string script = provider.ConsumeRandomLengthString();
    const std::string code = provider.ConsumeRandomLengthString();
    const std::string api = provider.ConsumeRandomLengthString();
    const std::string logs = provider.ConsumeRemainingBytesAsString();

    bool allHeld = true;
    for (const std::string* value : {&executable, &script, &code, &api, &logs}) {
        const bool held = xmlCanHold(*value);
        PELKO_FUZZ_REQUIRE(held == onlyXmlCharacters(*value), quoted(*value));
        allHeld = allHeld && held;
    }
    if (!allHeld) return 0;

    const std::string text = agentPropertyList(executable, script, code, api, logs);
    for (const auto& [reader, job] : {std::pair{"libplist", test::readLaunchdJob(text)},
                                      std::pair{"libxml2", test::readLaunchdJobAsXml(text)}}) {
        const std::string detail = std::string(reader) + " read back from:\n" + text;
        PELKO_FUZZ_REQUIRE((job.arguments == std::vector<std::string>{executable, script, "run"}), detail);
        PELKO_FUZZ_REQUIRE((job.environment == std::map<std::string, std::string>{{"PELKO_API_URL", api},
                                                                                 {"PELKO_PAIR_CODE", code}}),
                           detail);
        PELKO_FUZZ_REQUIRE(job.standardOut == logs + "/pelko-agent.log", detail);
        PELKO_FUZZ_REQUIRE(job.standardError == logs + "/pelko-agent.err.log", detail);
    }
    return 0;
}
