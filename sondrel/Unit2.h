#pragma once

#include "forms/form.h"

#include <string_view>

namespace forms {
class FormClass;
}

// Sondrel's second window: no controls, shown as its creation ends.
class TForm2 : public forms::TForm {
public:
    explicit TForm2(forms::TComponent* owner);

    static const forms::FormClass& formClass();
    static std::string_view definition();
};
