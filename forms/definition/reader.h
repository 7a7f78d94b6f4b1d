#pragma once

#include "forms/definition/syntaxtree.h"

#include <QString>

#include <string_view>

namespace forms {

class FormClass;
class TComponent;
class TForm;
class TWinControl;

namespace definition {

class ClassRegistry;
class ReadContext;

// Builds a window from its definition: creates the controls in definition order, sets their
// properties by name, resolves references once the tree exists, binds events to the form's
// handlers by name, and fills the form's members. Every failure names the control and the
// property: "Fehler beim Lesen von Label1.Caption: Ungültiger Eigenschaftswert".
class Reader {
public:
    Reader();
    explicit Reader(const ClassRegistry& registry);

    void read(TForm& form, const FormClass& formClass, std::string_view text);
    void read(TForm& form, const FormClass& formClass, const Object& root);

private:
    void readChild(TForm& form, TWinControl* parent, const QString& parentName,
                   const Object& object, ReadContext& ctx);
    void readProperties(TComponent& component, const QString& className, const Object& object,
                        ReadContext& ctx);

    const ClassRegistry& registry_;
};

} // namespace definition
} // namespace forms
