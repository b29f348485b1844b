#pragma once

#include <cstddef>
#include <functional>

// A window the program makes the first time it is used, not at start: the
// global reads like the pointer it replaces (Form_X->..., Form_X == this).
// make() arms it while the program's windows exist (with what to wire to the
// window once it is there); destroy() frees it, and an unarmed one stays null.
template <class T>
class FirstUse {
public:
    T* get() const
    {
        if (!window_ && make_ && !making_) {
            making_ = true;  // a constructor reading its own global sees null, as before
            T* w = nullptr;
            try {
                w = new T;
            } catch (...) {
                making_ = false;
                throw;
            }
            window_ = w;
            making_ = false;
            if (make_)
                make_(w);
        }
        return window_;
    }
    T* operator->() const { return get(); }
    operator T*() const { return get(); }

    // The window if it was made, without making it.
    T* made() const { return window_; }
    bool armed() const { return static_cast<bool>(make_); }

    void make(std::function<void(T*)> wire = [](T*) {}) { make_ = std::move(wire); }
    void destroy()
    {
        T* w = window_;
        make_ = nullptr;
        window_ = nullptr;
        delete w;
    }

    // The window's destructor forgets it; code that makes one itself sets it.
    FirstUse& operator=(std::nullptr_t)
    {
        window_ = nullptr;
        return *this;
    }
    FirstUse& operator=(T* w)
    {
        window_ = w;
        return *this;
    }

private:
    // Made on a read through a const reference too (a comparison, a check).
    mutable T* window_ = nullptr;
    std::function<void(T*)> make_;
    mutable bool making_ = false;
};
