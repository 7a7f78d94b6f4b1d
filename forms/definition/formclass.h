#pragma once

#include "forms/events.h"

#include "forms/definition/nameless.h"

#include <QString>

#include <functional>
#include <map>
#include <string_view>
#include <variant>

namespace forms {

class TComponent;
class TForm;

// What a window class tells the definition reader about itself: its class name, the members
// that receive its controls, and its handler methods by name.
class FormClass {
public:
    using NotifyMethod = std::function<void(TForm&, TObject*)>;
    using KeyMethod = std::function<void(TForm&, TObject*, std::uint16_t&, TShiftState)>;
    using Method = std::variant<NotifyMethod, KeyMethod>;
    // Stores the component in the member; false when its class does not fit the member.
    using FieldBinder = std::function<bool(TForm&, TComponent*)>;

    explicit FormClass(QString className)
        : className_(std::move(className))
    {}

    template <typename Form, typename Component>
    FormClass& field(const QString& name, Component* Form::*member)
    {
        fields_[name] = [member](TForm& form, TComponent* c) {
            auto* typed = dynamic_cast<Component*>(c);
            if (!typed)
                return false;
            static_cast<Form&>(form).*member = typed;
            return true;
        };
        return *this;
    }

    template <typename Form> FormClass& handler(const QString& name, void (Form::*method)(TObject*))
    {
        methods_[name] = NotifyMethod(
            [method](TForm& form, TObject* sender) { (static_cast<Form&>(form).*method)(sender); });
        return *this;
    }

    template <typename Form>
    FormClass& handler(const QString& name,
                       void (Form::*method)(TObject*, std::uint16_t&, TShiftState))
    {
        methods_[name] = KeyMethod(
            [method](TForm& form, TObject* sender, std::uint16_t& key, TShiftState shift) {
                (static_cast<Form&>(form).*method)(sender, key, shift);
            });
        return *this;
    }

    // Bytes the program links in, which the definition names as "{@name}" instead of spelling
    // them out: large stored values need no copy in the text.
    FormClass& linkedData(const QString& name, std::string_view bytes)
    {
        linkedData_[name] = bytes;
        return *this;
    }
    const std::string_view* findLinkedData(const QString& name) const
    {
        auto it = linkedData_.find(name);
        return it == linkedData_.end() ? nullptr : &it->second;
    }

    const QString& className() const { return className_; }
    const auto& fields() const { return fields_; }
    const Method* findMethod(const QString& name) const
    {
        auto it = methods_.find(name);
        return it == methods_.end() ? nullptr : &it->second;
    }

private:
    QString className_;
    std::map<QString, FieldBinder, definition::NameLess> fields_;
    std::map<QString, Method, definition::NameLess> methods_;
    std::map<QString, std::string_view, definition::NameLess> linkedData_;
};

} // namespace forms
