#pragma once

#include "forms/definition/syntaxtree.h"

#include "forms/definition/nameless.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace forms {

class TComponent;

namespace definition {

class ReadContext;

// The classes a definition may name, each with its table of properties. A class inherits the
// properties of its parent class; lookups are case-insensitive, as names in definitions are.
class ClassRegistry {
public:
    using Setter = std::function<void(TComponent&, const Value&, ReadContext&)>;

    struct ClassInfo {
        QString name;
        const ClassInfo* parent = nullptr;
        std::function<TComponent*(TComponent* owner)> create; // empty: not creatable by name
        std::map<QString, Setter, NameLess> properties;

        const Setter* findProperty(const QString& property) const;
    };

    // The class library's own classes; programs may add theirs.
    static ClassRegistry& instance();

    ClassInfo& add(const QString& name, const QString& parent,
                   std::function<TComponent*(TComponent*)> create = {});
    const ClassInfo* find(const QString& name) const;

private:
    std::map<QString, std::unique_ptr<ClassInfo>, NameLess> classes_;
};

// Fills the registry with the class library's controls and components.
void registerBuiltinClasses(ClassRegistry& registry);

} // namespace definition
} // namespace forms
