// The form on Qt Widgets: QLabel, QLineEdit, the picture boxes, a QFrame
// for the line and QTimer, placed in pixels at 15 twips each.
#include "runtime/ui/qt/qt.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QStyleHints>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

namespace rt::qt {
namespace {

// Longest text a field's cursor blinks over; see steady_cursor_for_long_text.
constexpr qsizetype kBlinkingCursorLength = 4096;

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

QString image(const char* name) { return QStringLiteral(":/images/") + QString::fromUtf8(name); }

QRect pixels(int left, int top, int width, int height) {
    return {ui::twips_to_pixels(left), ui::twips_to_pixels(top), ui::twips_to_pixels(width),
            ui::twips_to_pixels(height)};
}

// The desktop's named colours as Qt's palette gives them; Qt knows no
// high-contrast switch of its own.
ui::Scheme desktop_scheme() {
    const QPalette system = QApplication::palette();
    ui::Scheme scheme{};
    scheme.colours.button_face = system.color(QPalette::Button).rgba();
    scheme.colours.button_text = system.color(QPalette::ButtonText).rgba();
    scheme.colours.window = system.color(QPalette::Base).rgba();
    scheme.colours.window_text = system.color(QPalette::Text).rgba();
    return scheme;
}

// Qt has no character-set setting: the substitutes, which carry Hebrew,
// follow the wanted face.
QFont resolve(const ui::Font& font) {
    QStringList faces{QString::fromUtf8(font.face)};
    for (const char* substitute : ui::kSubstituteFaces) faces << QString::fromUtf8(substitute);
    QFont result;
    result.setFamilies(faces);
    result.setPointSizeF(font.points);
    result.setBold(font.bold);
    result.setUnderline(font.underline);
    return result;
}

void colour(QWidget* widget, QPalette::ColorRole text, QPalette::ColorRole back, const ui::Control& c) {
    const ui::Paint paint = ui::paint(c, desktop_scheme());
    QPalette palette = widget->palette();
    palette.setColor(text, QColor(paint.text));
    palette.setColor(back, QColor(paint.back));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A substitute face may be wider than the one the box was made for:
// narrow its letters to the widest stretch at which the caption fits
// rather than clip it.
void fit_caption(QLabel* label) {
    QFont font = label->font();
    const int stretch = ui::fitting_stretch(label->contentsRect().width(), [&](int stretch) {
        font.setStretch(stretch == 100 ? QFont::AnyStretch : stretch);
        return QFontMetricsF(font).horizontalAdvance(label->text());
    });
    if (stretch == 100) return;
    font.setStretch(stretch);
    label->setFont(font);
}

// Measuring loads the label's font; done at the first paint rather than
// while the window is built, the window shows sooner, and no caption is
// ever painted before it fits.
class FitCaptionAtFirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            fit_caption(static_cast<QLabel*>(watched));
        }
        return false;
    }
};

QWidget* make_label(const ui::Control& c, const ui::Font& font, QWidget* parent) {
    auto* label = new QLabel(QString::fromStdString(ui::shown_caption(c.text)), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment((c.align == ui::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setIndent(0);
    if (c.border) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
    }
    label->setFont(resolve(font));
    label->setGeometry(pixels(c.left, c.top, c.width, c.height));
    colour(label, QPalette::WindowText, QPalette::Window, c);
    label->installEventFilter(new FitCaptionAtFirstPaint(label));
    return label;
}

QWidget* make_text_box(const ui::Control& c, const ui::Font& font, QWidget* parent) {
    auto* field = new QLineEdit(QString::fromUtf8(c.text), parent);
    field->setMaxLength(std::numeric_limits<int>::max());
    field->setFont(resolve(font));
    field->setReadOnly(!c.enabled);
    field->setFocusPolicy(c.enabled ? Qt::StrongFocus : Qt::NoFocus);
    field->setGeometry(pixels(c.left, c.top, c.width, c.height));
    colour(field, QPalette::Text, QPalette::Base, c);
    return field;
}

QWidget* make_picture_box(const ui::Control& c, const ui::Font&, QWidget* parent) {
    auto* picture = new PictureBox(image(c.text), QColor(ui::paint(c, desktop_scheme()).back), parent);
    picture->setGeometry(pixels(c.left, c.top, c.width, c.height));
    return picture;
}

// A one-pixel line between two points on the window's background.
QWidget* make_line(const ui::Control& c, const ui::Font&, QWidget* parent) {
    auto* line = new QFrame(parent);
    const QPoint from(ui::twips_to_pixels(c.left), ui::twips_to_pixels(c.top));
    const QPoint to(ui::twips_to_pixels(c.width), ui::twips_to_pixels(c.height));
    line->setGeometry(QRect(from, to));
    colour(line, QPalette::WindowText, QPalette::Window, c);
    return line;
}

// Each blink of the cursor repaints its field, and Qt lays out and draws
// the field's whole text for it: over a pasted page that keeps an idle
// window busy. The focused field's cursor stays steady while its text is long.
void steady_cursor_for_long_text() {
    static const int blinking = QGuiApplication::styleHints()->cursorFlashTime();
    const auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    const bool long_text = field != nullptr && field->text().size() > kBlinkingCursorLength;
    QGuiApplication::styleHints()->setCursorFlashTime(long_text ? 0 : blinking);
}

using Maker = QWidget* (*)(const ui::Control&, const ui::Font&, QWidget*);

Maker maker(ui::Kind kind) {
    switch (kind) {
    case ui::Kind::Label: return make_label;
    case ui::Kind::TextBox: return make_text_box;
    case ui::Kind::PictureBox: return make_picture_box;
    case ui::Kind::Line: break;
    }
    return make_line;
}

class QtForm : public ui::Form {
public:
    QtForm(const ui::Window& window, std::span<const ui::Control> controls)
        : controls_(controls), top_(nullptr, kWindowFlags) {
        top_.setObjectName(QString::fromUtf8(window.name));
        top_.setWindowTitle(QString::fromUtf8(window.caption));
        top_.setAccessibleName(QString::fromUtf8(window.caption).trimmed());
        top_.setWindowIcon(QIcon(image(window.icon)));
        top_.setFont(resolve(window.font));
        const QRect client = pixels(window.left, window.top, window.width, window.height);
        top_.setGeometry(client);
        top_.setFixedSize(client.size());
        QPalette palette = top_.palette();
        palette.setColor(QPalette::Window, QColor(ui::window_colour(window, desktop_scheme())));
        top_.setPalette(palette);
        top_.setAutoFillBackground(true);

        for (const ui::Control& c : controls) {
            QWidget* widget = maker(c.kind)(c, ui::font_of(c, window), &top_);
            widget->setObjectName(QString::fromUtf8(c.name));
            widgets_.push_back(widget);
        }
        // Fields stay in front of the pictures they lie on.
        for (QLineEdit* field : top_.findChildren<QLineEdit*>()) {
            field->raise();
            QObject::connect(field, &QLineEdit::textChanged, &top_, steady_cursor_for_long_text);
        }
        handlers_.resize(controls.size());
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].kind == ui::Kind::TextBox)
                QObject::connect(field(i), &QLineEdit::textChanged, &top_, [this, i] { changed(i); });
        QObject::connect(qApp, &QApplication::focusChanged, &top_, steady_cursor_for_long_text);
        orderTabStops(controls);
    }

    QWidget* widget() { return &top_; }
    QWidget* control(std::size_t control) const { return widgets_.at(control); }

    std::string text(std::size_t control) const override { return field(control)->text().toStdString(); }

    void set_text(std::size_t control, const std::string& text) override {
        field(control)->setText(QString::fromStdString(text));
    }

    void on_change(std::size_t control, ui::Handler handler) override {
        ui::check_field(controls_, control);
        handlers_[control] = std::move(handler);
    }

    void name_after(std::size_t field, std::size_t label) override {
        widgets_.at(field)->setAccessibleName(caption_of(label));
    }

    void describe_with(std::size_t field, std::size_t label) override {
        widgets_.at(field)->setAccessibleDescription(caption_of(label));
    }

    void start_timer(const char* name, int interval_ms, ui::Handler tick) override {
        auto* timer = new QTimer(&top_);
        timer->setObjectName(QString::fromUtf8(name));
        timer->setInterval(interval_ms);
        QObject::connect(timer, &QTimer::timeout, &top_, [tick] { ui::invoke(tick); });
        timer->start();
    }

    void show() override { top_.show(); }

private:
    QString caption_of(std::size_t label) const {
        if (label >= controls_.size()) throw std::out_of_range("no such label");
        return QString::fromStdString(ui::shown_caption(controls_[label].text)).trimmed();
    }

    QLineEdit* field(std::size_t control) const {
        ui::check_field(controls_, control);
        return static_cast<QLineEdit*>(widgets_[control]);
    }

    // A copy, so that the handler may replace itself while it runs.
    void changed(std::size_t control) {
        if (const ui::Handler handler = handlers_[control]) ui::invoke(handler);
    }

    // Tab visits the controls that take focus in tab order; the focus
    // starts in the first of them.
    void orderTabStops(std::span<const ui::Control> controls) {
        QWidget* previous = nullptr;
        for (std::size_t i : ui::tab_order(controls)) {
            if (!ui::takes_focus(controls[i])) continue;
            QWidget* widget = widgets_[i];
            if (previous) QWidget::setTabOrder(previous, widget);
            else widget->setFocus();
            previous = widget;
        }
    }

    std::span<const ui::Control> controls_;
    QWidget top_;
    std::vector<QWidget*> widgets_;
    std::vector<ui::Handler> handlers_;  // by control; empty for none
};

}  // namespace

QWidget* widget(ui::Form& form) { return static_cast<QtForm&>(form).widget(); }

QWidget* control(ui::Form& form, std::size_t control) { return static_cast<QtForm&>(form).control(control); }

}  // namespace rt::qt

namespace rt::ui {

std::unique_ptr<Form> create_form(const Window& window, std::span<const Control> controls) {
    return std::make_unique<qt::QtForm>(window, controls);
}

}  // namespace rt::ui
