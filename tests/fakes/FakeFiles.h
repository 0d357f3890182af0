#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace pelko::test {

// A file system of named paths. Each change is logged as "verb path [path]";
// an operation whose (last) path is in `failing` fails with that text.
class FakeFiles : public Files {
public:
    std::optional<std::string> downloadsDirectory() override { return downloads; }
    std::string homeDirectory() const override { return home; }
    bool fileExistsAtPath(const std::string& path) const override { return existing.contains(path); }

    FileOutcome createDirectoryAtPath(const std::string& path) override { return change("mkdir", path); }
    FileOutcome writePrivateFileAtomically(const std::string& path, const std::string& text) override {
        auto error = change("write", path);
        if (!error) contents[path] = text;
        return error;
    }
    FileOutcome removeItemAtPath(const std::string& path) override {
        if (!existing.contains(path)) return FileError{"No such file"};
        auto error = change("remove", path);
        if (!error) existing.erase(path), contents.erase(path);
        return error;
    }
    FileOutcome copyItemAtPath(const std::string& from, const std::string& to) override {
        return change("copy", from, to);
    }
    FileOutcome moveItemAtPath(const std::string& from, const std::string& to) override {
        auto error = change("move", from, to);
        if (!error) existing.erase(from);
        return error;
    }
    FileOutcome replaceItemAtPath(const std::string& target, const std::string& replacement) override {
        auto error = change("replace", replacement, target);
        if (!error) existing.erase(replacement);
        return error;
    }

    std::string home = "/home/user";
    std::optional<std::string> downloads = "/home/user/Downloads";
    std::set<std::string> existing;
    std::map<std::string, std::string> contents;  // what was written, by path
    std::map<std::string, std::string> failing;   // path -> localized description
    std::vector<std::string> log;

private:
    FileOutcome change(const std::string& verb, const std::string& path, const std::string& second = {}) {
        const std::string& made = second.empty() ? path : second;
        log.push_back(verb + " " + path + (second.empty() ? "" : " " + second));
        if (auto it = failing.find(made); it != failing.end()) return FileError{it->second};
        if (verb != "remove") existing.insert(made);
        return std::nullopt;
    }
};

}  // namespace pelko::test
