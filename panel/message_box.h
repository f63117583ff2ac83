// The panel's message box: modal, the text alone, a single OK button, no
// icon, titled with the program's name.
#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

namespace panel {

inline constexpr const char* kProgramName = "TORVA_InOut";

// Shows the text and returns when the user has closed the box. The timer
// goes on ticking meanwhile. `opened` sees the box before it waits.
void show_message_box(QWidget* owner, const QString& text,
                      const std::function<void(QMessageBox&)>& opened = {});

// The text with invisible break opportunities in long unbroken runs, so a
// long number wraps inside the box instead of being cut off.
QString breakable(const QString& text);

}  // namespace panel
