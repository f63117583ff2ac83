// The panel as the window tests open it: Form1 over a port file in a fresh
// TMPDIR, its message boxes recorded instead of shown.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "panel/form1.h"
#include "runtime/message_box.h"
#include "test_support.h"

namespace testsupport {

class PanelTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        previous_ =
            rt::set_message_box_handler([this](const std::string& text) { messages.push_back(text); });
        program = std::make_unique<panel::Form1>();
        opened();
        program->form().show();
    }
    void TearDown() override {
        program.reset();
        rt::set_message_box_handler(previous_);
        TempDirTest::TearDown();
    }

    // Runs once the window is built, before it is shown.
    virtual void opened() {}

    // The port file's byte at a port, 0 past its end.
    int port(int number) const {
        const Bytes content = bytes();
        const std::size_t offset = static_cast<std::size_t>(number - 100);
        return offset < content.size() ? content[offset] : 0;
    }

    std::unique_ptr<panel::Form1> program;
    std::vector<std::string> messages;

private:
    rt::MessageBoxHandler previous_;
};

}  // namespace testsupport
