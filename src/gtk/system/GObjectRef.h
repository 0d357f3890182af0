#pragma once

#include <glib-object.h>

#include <utility>

namespace pelko::gtk {

// Owns one reference to a GObject; moves, never copies by accident.
template <typename T>
class GObjectRef {
public:
    GObjectRef() = default;
    // Takes over a reference the caller already owns (a constructor's result).
    static GObjectRef adopt(T* object) {
        GObjectRef ref;
        ref.object_ = object;
        return ref;
    }
    // Adds a reference of its own.
    static GObjectRef retain(T* object) {
        if (object) g_object_ref(object);
        return adopt(object);
    }
    GObjectRef(GObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectRef& operator=(GObjectRef&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    GObjectRef(const GObjectRef&) = delete;
    GObjectRef& operator=(const GObjectRef&) = delete;
    ~GObjectRef() { reset(); }

    void reset() {
        if (object_) g_object_unref(std::exchange(object_, nullptr));
    }
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

// Owns a g_malloc'ed string.
class OwnedGString {
public:
    explicit OwnedGString(char* text) : text_(text) {}
    OwnedGString(const OwnedGString&) = delete;
    OwnedGString& operator=(const OwnedGString&) = delete;
    ~OwnedGString() { g_free(text_); }
    const char* get() const { return text_; }
    explicit operator bool() const { return text_ != nullptr; }

private:
    char* text_;
};

}  // namespace pelko::gtk
