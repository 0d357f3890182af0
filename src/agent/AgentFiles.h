#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// The files of the iMessage agent: a per-user launchd job that runs the
// helper shipped in the bundle. Paths are plain concatenations of the home
// folder (no trailing slash) or the bundle path and fixed texts.
inline constexpr const char* kAgentLabel = "ai.pelko.imessage-agent";

std::string launchAgentsDirectory(const std::string& home);
std::string agentPropertyListPath(const std::string& home);
std::string agentLogDirectory(const std::string& home);
std::string helperDirectory(const std::string& bundlePath);
std::string helperExecutablePath(const std::string& bundlePath);
std::string helperScriptPath(const std::string& bundlePath);
// A self-managed agent, installed and paired by the user: looked for, never touched.
std::string selfManagedAgentPropertyListPath(const std::string& home);
std::string selfManagedAgentConfigurationPath(const std::string& home);

// "&", then "<", then ">" as entities, and a carriage return as "&#13;";
// nothing else changes.
std::string xmlEscape(const std::string& text);

// Whether the text is UTF-8 made only of characters an XML 1.0 document can
// hold. launchd cannot read a property list with any other, so such a value
// is refused rather than written.
bool xmlCanHold(const std::string& text);

// The agent's property list, also the helper's whole configuration (the
// pairing code and the API base in its environment). No line feed after
// the last line.
std::string agentPropertyList(const std::string& helperExecutable, const std::string& helperScript,
                              const std::string& pairingCode, const std::string& apiBase,
                              const std::string& logDirectory);

}  // namespace pelko
