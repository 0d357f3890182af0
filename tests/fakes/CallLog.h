#pragma once

#include <string>
#include <vector>

namespace pelko::test {

// One ordered record of the calls that several fakes receive.
class CallLog {
public:
    void add(std::string call) { calls_.push_back(std::move(call)); }
    const std::vector<std::string>& calls() const { return calls_; }
    void clear() { calls_.clear(); }
    bool contains(const std::string& call) const {
        for (const auto& c : calls_)
            if (c == call) return true;
        return false;
    }
    // Calls starting with `prefix`, in order.
    std::vector<std::string> matching(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls_)
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }

private:
    std::vector<std::string> calls_;
};

}  // namespace pelko::test
