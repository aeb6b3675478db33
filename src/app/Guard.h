#pragma once
// Handlers run inside guarded(): a failure is reported as the toolkit's standard
// exception message and the event loop goes on. No exception crosses the event loop.
#include "app/Prompts.h"

#include <QObject>

#include <exception>
#include <utility>

namespace kadenzo {

template <class F> void guarded(Prompts& prompts, F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        try {
            prompts.exception(e.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            prompts.exception("Unexpected error");
        } catch (...) {
        }
    }
}

// Connects `signal` of `sender` to `f`, run inside guarded(). Signal arguments are dropped.
template <class Sender, class Signal, class F>
QMetaObject::Connection onSignal(Prompts& prompts, Sender* sender, Signal signal, F f) {
    return QObject::connect(sender, signal, sender, [&prompts, f]() { guarded(prompts, f); });
}

} // namespace kadenzo
