#include "forms/definition/classregistry.h"

namespace forms::definition {

const ClassRegistry::Setter* ClassRegistry::ClassInfo::findProperty(const QString& property) const
{
    for (const ClassInfo* c = this; c; c = c->parent) {
        auto it = c->properties.find(property);
        if (it != c->properties.end())
            return &it->second;
    }
    return nullptr;
}

ClassRegistry& ClassRegistry::instance()
{
    static ClassRegistry registry = [] {
        ClassRegistry r;
        registerBuiltinClasses(r);
        return r;
    }();
    return registry;
}

ClassRegistry::ClassInfo& ClassRegistry::add(const QString& name, const QString& parent,
                                             std::function<TComponent*(TComponent*)> create)
{
    auto info = std::make_unique<ClassInfo>();
    info->name = name;
    info->parent = parent.isEmpty() ? nullptr : find(parent);
    info->create = std::move(create);
    auto& slot = classes_[name];
    slot = std::move(info);
    return *slot;
}

const ClassRegistry::ClassInfo* ClassRegistry::find(const QString& name) const
{
    auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : it->second.get();
}

} // namespace forms::definition
