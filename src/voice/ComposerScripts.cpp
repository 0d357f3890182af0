#include "voice/ComposerScripts.h"

#include "voice/JsStringLiteral.h"

namespace pelko {

namespace {

// The page's composer: a textarea that is laid out (a display:none one has no
// offsetParent), enabled and writable. Shared by both scripts.
constexpr const char* kCandidates =
    "  var candidates = Array.prototype.filter.call(document.querySelectorAll('textarea'), function (el) {\n"
    "    return el.offsetParent !== null && !el.disabled && !el.readOnly;\n"
    "  });\n";

// The prototype's setter, not `target.value = ...`: frameworks that keep
// their own copy of the value (React's controlled inputs) only notice a
// change made below their instance-level property.
constexpr const char* kSetter =
    "  var setter = Object.getOwnPropertyDescriptor(window.HTMLTextAreaElement.prototype, 'value').set;\n";

constexpr const char* kNoTextarea = "  if (!target) { return { ok: false, reason: 'no-textarea' }; }\n";

}  // namespace

std::string composerInsertScript(const std::string& transcript) {
    const std::string literal = jsStringLiteral(transcript);
    std::string script = "(function () {\n"
                         "  var focused = document.activeElement;\n";
    script += kCandidates;
    script +=
        "  var target = (focused && focused.tagName === 'TEXTAREA' && candidates.indexOf(focused) !== -1)\n"
        "      ? focused : candidates[candidates.length - 1];\n";
    script += kNoTextarea;
    script += "  target.focus();\n";
    script += kSetter;
    script +=
        "  var current = target.value || '';\n"
        "  setter.call(target, current ? current + ' ' + ";
    script += literal;
    script += " : ";
    script += literal;
    script +=
        ");\n"
        "  target.dispatchEvent(new Event('input', { bubbles: true }));\n"
        "  return { ok: true };\n"
        "})();\n";
    return script;
}

std::string composerSubmitScript(const std::string& transcript) {
    std::string script = "(function () {\n";
    script += kCandidates;
    script += "  var target = candidates[candidates.length - 1];\n";
    script += kNoTextarea;
    script += "  target.focus();\n";
    script += kSetter;
    script += "  setter.call(target, ";
    script += jsStringLiteral(transcript);
    script +=
        ");\n"
        "  target.dispatchEvent(new Event('input', { bubbles: true }));\n"
        "  setTimeout(function () {\n"
        "    target.dispatchEvent(new KeyboardEvent('keydown', {\n"
        "      key: 'Enter', code: 'Enter', metaKey: true, bubbles: true, cancelable: true\n"
        "    }));\n"
        "  }, 50);\n"
        "  return { ok: true };\n"
        "})();\n";
    return script;
}

bool pageScriptSucceeded(const std::optional<nlohmann::json>& result, const std::optional<ScriptError>& error) {
    if (error || !result || !result->is_object()) {
        return false;
    }
    const auto ok = result->find("ok");
    return ok != result->end() && ok->is_boolean() && ok->get<bool>();
}

}  // namespace pelko
