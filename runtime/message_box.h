// The message box service. Programs without a window write the text to
// standard error; the window installs a real box, tests a recorder.
#pragma once

#include <functional>
#include <string>

namespace rt {

using MessageBoxHandler = std::function<void(const std::string& text)>;

// Shows the text with a single OK button and returns when it is closed.
void message_box(const std::string& text);

// Replaces the handler and returns the previous one; an empty handler
// restores the default.
MessageBoxHandler set_message_box_handler(MessageBoxHandler handler);

}  // namespace rt
