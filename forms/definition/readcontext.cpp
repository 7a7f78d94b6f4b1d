#include "forms/definition/readcontext.h"

#include "forms/definition/formclass.h"
#include "forms/definition/values.h"
#include "forms/form.h"
#include "forms/messages.h"

namespace forms::definition {

ReadContext::ReadContext(TForm& form, const FormClass& formClass)
    : form_(form)
    , formClass_(formClass)
{}

namespace {

const FormClass::Method& findMethod(const FormClass& cls, const QString& name)
{
    const FormClass::Method* m = cls.findMethod(name);
    if (!m)
        throw Exception::fmt(QString::fromUtf8(messages::MethodNotFound), name);
    return *m;
}

} // namespace

TNotifyEvent ReadContext::notifyHandler(const Value& value) const
{
    const QString name = toIdentifier(value);
    const auto* method = std::get_if<FormClass::NotifyMethod>(&findMethod(formClass_, name));
    if (!method)
        throw Exception::fmt(QString::fromUtf8(messages::MethodWrongKind), name);
    return [form = &form_, m = *method](TObject* sender) { m(*form, sender); };
}

TKeyEvent ReadContext::keyHandler(const Value& value) const
{
    const QString name = toIdentifier(value);
    const auto* method = std::get_if<FormClass::KeyMethod>(&findMethod(formClass_, name));
    if (!method)
        throw Exception::fmt(QString::fromUtf8(messages::MethodWrongKind), name);
    return [form = &form_, m = *method](TObject* sender, std::uint16_t& key, TShiftState shift) {
        m(*form, sender, key, shift);
    };
}

std::span<const std::uint8_t> ReadContext::binary(const Value& value) const
{
    if (value.kind != Value::Kind::Binary)
        throw invalidValue();
    if (value.linked.empty())
        return value.bytes;
    const QString name = QString::fromStdString(value.linked);
    const std::string_view* bytes = formClass_.findLinkedData(name);
    if (!bytes)
        throw Exception::fmt(QString::fromUtf8(messages::LinkedDataNotFound), name);
    return {reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()};
}

void ReadContext::reference(const Value& value, std::function<void(TComponent*)> resolve)
{
    fixups_.push_back({control_, property_, toIdentifier(value), std::move(resolve)});
}

void ReadContext::setCurrent(const QString& control, const QString& property)
{
    control_ = control;
    property_ = property;
}

} // namespace forms::definition
