#pragma once

#include "forms/definition/syntaxtree.h"
#include "forms/events.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace forms {

class FormClass;
class TComponent;
class TForm;

namespace definition {

// What a property setter may ask of the reader: the form's handlers, and references to
// controls that are resolved once the whole tree exists.
class ReadContext {
public:
    ReadContext(TForm& form, const FormClass& formClass);

    TForm& form() { return form_; }

    TNotifyEvent notifyHandler(const Value& value) const;
    TKeyEvent keyHandler(const Value& value) const;

    // The bytes of a binary value: its own, or those linked into the program under its name.
    // Valid while the value and the program live.
    std::span<const std::uint8_t> binary(const Value& value) const;

    // Calls resolve with the component the value names, after every control has been created.
    void reference(const Value& value, std::function<void(TComponent*)> resolve);

    struct Fixup {
        QString control;
        QString property;
        QString target;
        std::function<void(TComponent*)> resolve;
    };
    void setCurrent(const QString& control, const QString& property);
    std::vector<Fixup> takeFixups() { return std::move(fixups_); }

private:
    TForm& form_;
    const FormClass& formClass_;
    QString control_;
    QString property_;
    std::vector<Fixup> fixups_;
};

} // namespace definition
} // namespace forms
