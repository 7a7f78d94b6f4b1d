#include "forms/definition/reader.h"

#include "forms/definition/classregistry.h"
#include "forms/definition/formclass.h"
#include "forms/definition/parser.h"
#include "forms/definition/readcontext.h"
#include "forms/exception.h"
#include "forms/form.h"
#include "forms/messages.h"

namespace forms::definition {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

[[noreturn]] void fail(const QString& control, const QString& property, const QString& message)
{
    throw Exception::fmt(QString::fromUtf8(messages::ErrorReadingProperty), control, property,
                         message);
}

QString msg(const char* pattern, const QString& arg)
{
    return Exception::format(QString::fromUtf8(pattern), {arg});
}

void markLoading(TComponent& root, bool loading)
{
    root.setLoading(loading);
    for (TComponent* c : root.components())
        c->setLoading(loading);
}

} // namespace

Reader::Reader()
    : registry_(ClassRegistry::instance())
{}

Reader::Reader(const ClassRegistry& registry)
    : registry_(registry)
{}

void Reader::read(TForm& form, const FormClass& formClass, std::string_view text)
{
    ParseResult parsed = parse(text);
    if (auto* error = std::get_if<ParseError>(&parsed)) {
        throw Exception::fmt(QString::fromUtf8(messages::InvalidDefinition),
                             QString::number(error->position.line),
                             QString::number(error->position.column), q(error->message));
    }
    read(form, formClass, std::get<Object>(parsed));
}

void Reader::read(TForm& form, const FormClass& formClass, const Object& root)
{
    const QString rootName = q(root.name);
    if (q(root.className).compare(formClass.className(), Qt::CaseInsensitive) != 0)
        fail(rootName, q(root.className), msg(messages::ClassNotFound, q(root.className)));

    form.setName(rootName);
    ReadContext ctx(form, formClass);
    form.setLoading(true);
    readProperties(form, QStringLiteral("TForm"), root, ctx);
    for (const Object& child : root.children)
        readChild(form, &form, rootName, child, ctx);

    for (auto& fixup : ctx.takeFixups()) {
        TComponent* target = form.findComponent(fixup.target);
        if (!target)
            fail(fixup.control, fixup.property, msg(messages::ComponentNotFound, fixup.target));
        try {
            fixup.resolve(target);
        } catch (const Exception& e) {
            fail(fixup.control, fixup.property, e.message());
        }
    }

    for (const auto& [name, bind] : formClass.fields()) {
        TComponent* c = form.findComponent(name);
        if (!c)
            fail(rootName, name, msg(messages::ComponentNotFound, name));
        if (!bind(form, c))
            fail(rootName, name, msg(messages::FieldWrongClass, name));
    }

    markLoading(form, false);
    for (TComponent* c : form.components())
        c->loaded();
    form.loaded();
}

void Reader::readChild(TForm& form, TWinControl* parent, const QString& parentName,
                       const Object& object, ReadContext& ctx)
{
    const QString name = q(object.name);
    const QString className = q(object.className);
    const ClassRegistry::ClassInfo* info = registry_.find(className);
    if (!info || !info->create)
        fail(parentName, name, msg(messages::ClassNotFound, className));
    if (form.findComponent(name) || name.compare(form.name(), Qt::CaseInsensitive) == 0)
        fail(parentName, name, msg(messages::DuplicateName, name));

    TComponent* component = info->create(&form);
    component->setName(name);
    component->setLoading(true);
    if (auto* control = dynamic_cast<TControl*>(component)) {
        if (!parent || !parent->acceptsControls())
            fail(parentName, name, msg(messages::NotAParent, parentName));
        control->setParent(parent);
    }
    readProperties(*component, className, object, ctx);

    auto* container = dynamic_cast<TWinControl*>(component);
    for (const Object& child : object.children)
        readChild(form, container, name, child, ctx);
}

void Reader::readProperties(TComponent& component, const QString& className, const Object& object,
                            ReadContext& ctx)
{
    const ClassRegistry::ClassInfo* info = registry_.find(className);
    const QString controlName = q(object.name);
    for (const Property& p : object.properties) {
        const QString property = q(p.name);
        const ClassRegistry::Setter* setter = info ? info->findProperty(property) : nullptr;
        if (!setter)
            fail(controlName, property, msg(messages::PropertyDoesNotExist, property));
        ctx.setCurrent(controlName, property);
        try {
            (*setter)(component, p.value, ctx);
        } catch (const Exception& e) {
            fail(controlName, property, e.message());
        }
    }
}

} // namespace forms::definition
