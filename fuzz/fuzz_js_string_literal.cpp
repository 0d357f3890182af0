// jsStringLiteral on any bytes, evaluated by a real script engine: the value
// is one string, the input with each byte that does not begin a well-formed
// UTF-8 sequence replaced by U+FFFD (the rest of the text kept as it is).
#include <jsc/jsc.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "voice/JsStringLiteral.h"

using namespace pelko;
using fuzz::quoted;

namespace {

// Written apart from the core's decoder, after the Unicode table of
// well-formed sequences.
std::string withReplacements(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = fuzz::wellFormedLength(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

// The engine keeps malloc'd memory referenced only from its own heap, which
// the leak checker does not scan.
extern "C" const char* __lsan_default_suppressions() { return "leak:libjavascriptcoregtk\n"; }

// One engine for many inputs: creating one per input would be most of the
// time. It is renewed now and then, as it keeps what each distinct program
// leaves behind until a collection of its own choosing, which under the
// sanitizers comes after the fuzzer's memory limit.
JSCContext* context() {
    static JSCContext* shared = nullptr;
    static unsigned uses = 0;
    if (shared && ++uses % 20000 == 0) g_clear_object(&shared);
    if (!shared) shared = jsc_context_new();
    return shared;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The engine stops threads for its collector with SIGUSR1 unless told
    // otherwise, and libFuzzer already handles that one.
    setenv("JSC_SIGNAL_FOR_GC", std::to_string(SIGRTMIN + 4).c_str(), 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string literal = jsStringLiteral(text);
    PELKO_FUZZ_REQUIRE(fuzz::isUtf8(literal), quoted(literal));

    // Wrapped so that a literal that ended early could not still read as a string.
    const std::string program = "[" + literal + "][0]";
    JSCContext* const engine = context();
    JSCValue* value = jsc_context_evaluate(engine, program.data(), static_cast<gssize>(program.size()));
    if (JSCException* exception = jsc_context_get_exception(engine)) {
        fuzz::fail("the literal is a script", std::string(jsc_exception_get_message(exception)) + " in " +
                                                   quoted(literal));
    }
    PELKO_FUZZ_REQUIRE(value && jsc_value_is_string(value), quoted(literal));
    GBytes* bytes = jsc_value_to_string_as_bytes(value);
    gsize length = 0;
    const auto* utf8 = static_cast<const char*>(g_bytes_get_data(bytes, &length));
    const std::string evaluated(utf8 ? utf8 : "", length);
    g_bytes_unref(bytes);
    g_object_unref(value);

    PELKO_FUZZ_REQUIRE(evaluated == withReplacements(text),
                       quoted(text) + " evaluates to " + quoted(evaluated) + " from " + quoted(literal));
    return 0;
}
