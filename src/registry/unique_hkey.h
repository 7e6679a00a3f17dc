// An owned registry key handle, closed with RegCloseKey when it goes out of
// scope, so every path through a registry step gives its handles back.
#pragma once

#include "platform/win32.h"

namespace MyRegistry {

class unique_hkey {
public:
    unique_hkey() = default;
    explicit unique_hkey(HKEY key) : key_(key) {}
    ~unique_hkey() { reset(); }

    unique_hkey(const unique_hkey&) = delete;
    unique_hkey& operator=(const unique_hkey&) = delete;
    unique_hkey(unique_hkey&& other) noexcept : key_(other.release()) {}
    unique_hkey& operator=(unique_hkey&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // For an out-parameter: the old handle is closed first.
    HKEY* put()
    {
        reset();
        return &key_;
    }

    HKEY release()
    {
        HKEY key = key_;
        key_ = nullptr;
        return key;
    }

    void reset(HKEY key = nullptr)
    {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = key;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace MyRegistry
