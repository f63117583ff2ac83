// The message box service: the handler installed (by the window, or a
// test), and standard error before any.
#include "runtime/message_box.h"

#include <iostream>
#include <utility>

namespace rt {
namespace {

void write_to_stderr(const std::string& text) { std::cerr << text << std::endl; }

MessageBoxHandler& current_handler() {
    static MessageBoxHandler handler = write_to_stderr;
    return handler;
}

}  // namespace

void message_box(const std::string& text) {
    // A copy, so that a handler may replace itself while it runs.
    MessageBoxHandler handler = current_handler();
    handler(text);
}

MessageBoxHandler set_message_box_handler(MessageBoxHandler handler) {
    if (!handler) handler = write_to_stderr;
    return std::exchange(current_handler(), std::move(handler));
}

}  // namespace rt
