#include "runtime/window.h"

#include <exception>

#include "runtime/message_box.h"

namespace rt::ui {
namespace {

Application& current_application() {
    static Application current{"", "", "", "", ""};
    return current;
}

}  // namespace

const Application& application() { return current_application(); }

void set_application(const Application& application) { current_application() = application; }

std::string shown_caption(const char* stored) {
    std::string shown;
    for (const char* c = stored; *c != '\0'; ++c) {
        if (*c == '&' && c[1] != '\0') ++c;
        shown += *c;
    }
    return shown;
}

void invoke(const Handler& handler) noexcept {
    try {
        try {
            handler();
        } catch (const std::exception& error) {
            message_box(error.what());
        } catch (...) {
            message_box("Unexpected error");
        }
    } catch (...) {
        // The report itself failed; there is nobody left to tell.
    }
}

}  // namespace rt::ui
