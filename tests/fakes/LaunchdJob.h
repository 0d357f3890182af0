#pragma once

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pelko::test {

// What launchd takes from a job's property list, read with a real
// property-list reader (libplist). Empty when the text does not parse.
struct LaunchdJob {
    std::vector<std::string> arguments;
    std::map<std::string, std::string> environment;
    std::string standardOut;
    std::string standardError;
};

inline std::string plistString(plist_t node) {
    char* value = nullptr;
    if (node && plist_get_node_type(node) == PLIST_STRING) plist_get_string_val(node, &value);
    std::string out = value ? value : "";
    std::free(value);  // libplist hands out malloc'd strings
    return out;
}

inline LaunchdJob readLaunchdJob(const std::string& text) {
    plist_t root = nullptr;
    plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &root);
    const std::unique_ptr<void, decltype(&plist_free)> owned(root, &plist_free);
    LaunchdJob job;
    if (!root) return job;
    plist_t arguments = plist_dict_get_item(root, "ProgramArguments");
    for (uint32_t i = 0; arguments && i < plist_array_get_size(arguments); ++i)
        job.arguments.push_back(plistString(plist_array_get_item(arguments, i)));
    if (plist_t environment = plist_dict_get_item(root, "EnvironmentVariables")) {
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(environment, &it);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(environment, it, &key, &value);
            if (!key) break;
            job.environment[key] = plistString(value);
            std::free(key);
        }
        std::free(it);
    }
    job.standardOut = plistString(plist_dict_get_item(root, "StandardOutPath"));
    job.standardError = plistString(plist_dict_get_item(root, "StandardErrorPath"));
    return job;
}

}  // namespace pelko::test
