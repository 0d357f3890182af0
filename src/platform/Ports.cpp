#include "platform/Ports.h"

namespace pelko {

std::vector<std::string> missingPorts(const Ports& ports) {
    const std::pair<const void*, const char*> members[] = {
        {ports.application, "application"}, {ports.alerts, "alerts"},
        {ports.bundle, "bundle"},           {ports.mainQueue, "mainQueue"},
        {ports.toolkit, "toolkit"},         {ports.urls, "urls"},
        {ports.urlSession, "urlSession"},   {ports.userDefaults, "userDefaults"},
        {ports.workspace, "workspace"},     {ports.files, "files"},
        {ports.openPanels, "openPanels"},   {ports.processes, "processes"},
        {ports.networkMonitor, "networkMonitor"},
        {ports.downloadOrigins, "downloadOrigins"},
        {ports.audio, "audio"},             {ports.speech, "speech"},
        {ports.permissions, "permissions"}, {ports.diskImages, "diskImages"},
    };
    static_assert(sizeof(Ports) == std::size(members) * sizeof(void*), "every port is checked");
    std::vector<std::string> missing;
    for (const auto& [port, name] : members)
        if (!port) missing.push_back(name);
    return missing;
}

std::optional<std::string> portsProblem(const Ports& ports) {
    const auto missing = missingPorts(ports);
    if (missing.empty()) return std::nullopt;
    std::string text = "the platform left these ports unset:";
    for (const auto& name : missing) text += " " + name;
    return text;
}

}  // namespace pelko
