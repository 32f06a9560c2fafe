#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

// The captions that follow the language. Each is written once, where its control is made, with
// its Japanese source marked for lupdate; it is shown translated at once and again whenever
// Reapply() runs after a change of language.
class LiveCaptions {
public:
    explicit LiveCaptions(const char* context) : Context(context) {}

    QString Translate(const char* source) const {
        return QCoreApplication::translate(Context, source);
    }

    // A control with a caption: setTitle where it has one (group boxes, menus), setText
    // otherwise (labels, buttons, actions). Returns the control.
    template <class Control> Control* Set(Control* control, const char* source) {
        Add([this, guarded = QPointer<Control>(control), source] {
            if (guarded)
                ApplyCaption(guarded.data(), Translate(source));
        });
        return control;
    }

    // Anything else that shows translated text: runs now and at every Reapply().
    void Add(std::function<void()> apply) {
        apply();
        Appliers.push_back(std::move(apply));
    }

    void Reapply() const {
        for (const auto& apply : Appliers)
            apply();
    }

private:
    template <class Control> static void ApplyCaption(Control* control, const QString& text) {
        if constexpr (requires { control->setTitle(text); })
            control->setTitle(text);
        else
            control->setText(text);
    }

    const char* Context;
    std::vector<std::function<void()>> Appliers;
};
