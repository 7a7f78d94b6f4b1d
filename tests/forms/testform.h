#pragma once

#include "forms/button.h"
#include "forms/definition/formclass.h"
#include "forms/form.h"
#include "forms/label.h"

#include <string>
#include <string_view>
#include <vector>

// A window for class-library tests: read from the definition text it is given, with a few
// handlers that record their calls.
class TTestForm : public forms::TForm {
public:
    TTestForm(forms::TComponent* owner, std::string_view definition,
              const forms::FormClass& formClass = defaultClass())
        : TForm(owner)
    {
        readDefinition(definition, formClass);
    }

    forms::TButton* Button1 = nullptr;
    forms::TLabel* Label1 = nullptr;
    std::vector<std::string> calls;

    void Clicked(forms::TObject* sender)
    {
        auto* c = dynamic_cast<forms::TComponent*>(sender);
        calls.push_back("click " + (c ? c->name().toStdString() : std::string("?")));
    }
    void KeyDown(forms::TObject*, std::uint16_t& key, forms::TShiftState shift)
    {
        calls.push_back("key " + std::to_string(key) + " " + std::to_string(shift));
    }
    void Ticked(forms::TObject*) { calls.push_back("tick"); }

    // Handlers only; tests that need the members build a class with fields.
    static const forms::FormClass& defaultClass()
    {
        static const forms::FormClass cls =
            withHandlers(forms::FormClass(QStringLiteral("TTestForm")));
        return cls;
    }
    static forms::FormClass withHandlers(forms::FormClass cls)
    {
        cls.handler(QStringLiteral("Clicked"), &TTestForm::Clicked)
            .handler(QStringLiteral("KeyDown"), &TTestForm::KeyDown)
            .handler(QStringLiteral("Ticked"), &TTestForm::Ticked);
        return cls;
    }
};
