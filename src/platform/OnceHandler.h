#pragma once

#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>

namespace pelko {

struct OnceHandlerTag {};

// Something that can give the answer itself; never another handler, so that
// one is moved, not wrapped.
template <typename F, typename... Args>
concept OnceAnswer = std::is_invocable_v<F&, Args...> && !std::is_base_of_v<OnceHandlerTag, std::decay_t<F>>;

// A decision or completion handler that the platform hands over and expects
// to be called exactly once. The first answer wins and later ones are
// ignored; a handler destroyed without an answer gives its safe default, so
// the platform is never left waiting. Move-only, so that one answer cannot be
// given twice through copies. Main thread only.
template <typename... Args>
class OnceHandler : OnceHandlerTag {
public:
    OnceHandler() = default;

    // `answer` receives the one answer; `safeDefault` is what a handler
    // dropped unanswered gives.
    template <OnceAnswer<Args...> F>
    OnceHandler(F answer, std::decay_t<Args>... safeDefault)
        : answer_(std::make_unique<Answer<F>>(std::move(answer))), safeDefault_(std::move(safeDefault)...) {}

    OnceHandler(OnceHandler&& other) noexcept = default;
    OnceHandler& operator=(OnceHandler&& other) noexcept {
        if (this != &other) {
            answerDefault();
            answer_ = std::move(other.answer_);
            safeDefault_ = std::move(other.safeDefault_);
        }
        return *this;
    }
    OnceHandler(const OnceHandler&) = delete;
    OnceHandler& operator=(const OnceHandler&) = delete;
    ~OnceHandler() { answerDefault(); }

    void operator()(Args... args) {
        // Taken out first: an answer may drop the last owner of this handler.
        if (auto answer = std::move(answer_)) answer->call(std::forward<Args>(args)...);
    }

    // True while no answer has been given.
    explicit operator bool() const { return answer_ != nullptr; }

private:
    struct AnyAnswer {
        virtual ~AnyAnswer() = default;
        virtual void call(Args... args) = 0;
    };
    template <typename F>
    struct Answer final : AnyAnswer {
        explicit Answer(F f) : f_(std::move(f)) {}
        void call(Args... args) override { f_(std::forward<Args>(args)...); }
        F f_;
    };

    void answerDefault() {
        if (auto answer = std::move(answer_)) std::apply([&](auto&... values) { answer->call(values...); }, safeDefault_);
    }

    std::unique_ptr<AnyAnswer> answer_;
    std::tuple<std::decay_t<Args>...> safeDefault_;
};

}  // namespace pelko
